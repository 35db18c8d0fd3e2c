// The animation's 256 colours: a median cut over the colours of all scenes,
// refined by a few rounds of nearest-mean, with yellow and white kept aside.
// No dithering: a colour always maps to the same index, so pixels a frame does
// not touch keep their index from scene to scene.
#include "gen.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace gen {
namespace {

struct Weighted {
    Rgb colour;
    std::uint32_t count;
};

int channel(const Rgb& c, int i) {
    return i == 0 ? c.r : i == 1 ? c.g : c.b;
}

struct Box {
    std::vector<Weighted> colours;
    int widest = 0;
    int range = 0;
    std::uint64_t weight = 0;
    void measure() {
        weight = 0;
        range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (const auto& w : colours) {
                lo = std::min(lo, channel(w.colour, ch));
                hi = std::max(hi, channel(w.colour, ch));
            }
            if (hi - lo > range) {
                range = hi - lo;
                widest = ch;
            }
        }
        for (const auto& w : colours)
            weight += w.count;
    }
    // Splitting big, populous boxes first keeps the error low where most pixels are.
    double priority() const { return double(range) * double(range) * double(weight); }
};

int distance(const Rgb& a, const Rgb& b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

std::uint32_t key(const Rgb& c) {
    return std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
}

} // namespace

Palette build_palette(const std::vector<Picture>& pictures) {
    std::map<std::uint32_t, std::uint32_t> histogram;
    for (const Picture& pic : pictures)
        for (const Rgb& c : pic.px)
            if (c != kYellow)
                ++histogram[key(c)];
    std::vector<Box> boxes(1);
    for (const auto& [k, n] : histogram)
        boxes[0].colours.push_back(
            {Rgb{std::uint8_t(k >> 16), std::uint8_t(k >> 8), std::uint8_t(k)}, n});
    boxes[0].measure();
    while (boxes.size() < 254) {
        auto it = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.priority() < b.priority();
        });
        if (it->colours.size() < 2)
            break;
        Box& box = *it;
        const int ch = box.widest;
        std::stable_sort(box.colours.begin(), box.colours.end(),
                         [ch](const Weighted& a, const Weighted& b) {
                             return channel(a.colour, ch) < channel(b.colour, ch);
                         });
        std::uint64_t half = box.weight / 2, run = 0;
        std::size_t cut = 1;
        for (; cut < box.colours.size() - 1; ++cut) {
            run += box.colours[cut - 1].count;
            if (run >= half)
                break;
        }
        Box other;
        other.colours.assign(box.colours.begin() + long(cut), box.colours.end());
        box.colours.resize(cut);
        box.measure();
        other.measure();
        boxes.push_back(std::move(other));
    }

    Palette palette;
    palette.fill(Rgb{40, 30, 0}); // entries left over when there are few colours
    auto mean_of = [](const std::vector<Weighted>& colours) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto& w : colours) {
            r += w.colour.r * double(w.count);
            g += w.colour.g * double(w.count);
            b += w.colour.b * double(w.count);
            n += w.count;
        }
        auto round8 = [n](double v) { return std::uint8_t(std::clamp(v / n + 0.5, 0.0, 255.0)); };
        return Rgb{round8(r), round8(g), round8(b)};
    };
    for (std::size_t i = 0; i < boxes.size(); ++i)
        palette[i] = mean_of(boxes[i].colours);
    palette[254] = kYellow;
    palette[255] = kWhite;

    // Nearest-mean rounds over the same histogram.
    std::vector<Weighted> all;
    for (const Box& b : boxes)
        all.insert(all.end(), b.colours.begin(), b.colours.end());
    const int used = int(boxes.size());
    for (int round = 0; round < 6; ++round) {
        std::vector<std::vector<Weighted>> members(static_cast<std::size_t>(used));
        for (const auto& w : all) {
            int best = 0;
            for (int i = 1; i < used; ++i)
                if (distance(palette[i], w.colour) < distance(palette[best], w.colour))
                    best = i;
            members[std::size_t(best)].push_back(w);
        }
        for (int i = 0; i < used; ++i)
            if (!members[std::size_t(i)].empty())
                palette[i] = mean_of(members[std::size_t(i)]);
    }
    for (int i = 0; i < 254; ++i)
        if (palette[i] == kWhite || palette[i] == kYellow)
            palette[i].b = std::uint8_t(palette[i].b - 1); // white and yellow are reserved
    return palette;
}

std::vector<std::uint8_t> quantise(const Picture& pic, const Palette& palette) {
    std::unordered_map<std::uint32_t, std::uint8_t> cache;
    std::vector<std::uint8_t> out(pic.px.size());
    for (std::size_t i = 0; i < pic.px.size(); ++i) {
        const Rgb c = pic.px[i];
        auto [it, fresh] = cache.try_emplace(key(c), 0);
        if (fresh) {
            int best = 254;
            if (c != kYellow)
                for (int j = 0; j < 254; ++j)
                    if (distance(palette[j], c) < distance(palette[best], c))
                        best = j;
            it->second = std::uint8_t(best);
        }
        out[i] = it->second;
    }
    return out;
}

int nearest_other(const Palette& palette, Rgb colour, int avoid) {
    int best = -1;
    for (int j = 0; j < 254; ++j)
        if (j != avoid &&
            (best < 0 || distance(palette[j], colour) < distance(palette[best], colour)))
            best = j;
    return best;
}

} // namespace gen
