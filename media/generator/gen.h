#pragma once
// Shared pieces of the media generator: plain RGB pictures, a seeded noise
// source, and the entry points of the art, palette, encoders and sound.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

constexpr int kWidth = 378;
constexpr int kHeight = 216;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kWhite{255, 255, 255};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> px;
    Picture() = default;
    Picture(int w, int h, Rgb fill) : width(w), height(h), px(std::size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return px[std::size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return px[std::size_t(y) * width + x]; }
};

struct RgbaPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba; // straight (not premultiplied) alpha
};

// A small fixed-seed generator of our own, so every run makes the same bytes.
struct Noise {
    std::uint64_t state;
    explicit Noise(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); } // [0, 1)
    double symmetric() { return uniform() * 2.0 - 1.0; }                           // [-1, 1)
};

// A frame rectangle of the animation, in logical-screen pixels.
struct Rect {
    int left, top, width, height;
    bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// art.cpp
Picture draw_face();
Picture draw_cover();
// The animation's scenes as full pictures, in frame order: the cover, the
// lifted hammer, the blow, the cover again, then the crack growing band by band.
std::vector<Picture> draw_smash_scenes();
// Egg pixels of the cover that are safe to retouch (fully inside the egg, off the crack).
std::vector<bool> cover_egg_interior();
RgbaPicture draw_icon(int size);

// palette.cpp
using Palette = std::array<Rgb, 256>;
// 254 colours from the pictures, then the reserved yellow (254) and white (255).
Palette build_palette(const std::vector<Picture>& pictures);
std::vector<std::uint8_t> quantise(const Picture& pic, const Palette& palette);
int nearest_other(const Palette& palette, Rgb colour, int avoid);

// encode.cpp
std::vector<std::uint8_t> encode_png_rgb(const Picture& pic, const std::string& xmp);
std::vector<std::uint8_t> encode_png_rgba(const RgbaPicture& pic);
struct GifFrame {
    Rect rect;
    int delay; // hundredths of a second, as stored
    std::vector<std::uint8_t> indices;
};
std::vector<std::uint8_t> encode_gif(const Palette& palette, const std::vector<GifFrame>& frames,
                                     const std::string& xmp);
std::vector<std::uint8_t> encode_wav(const std::vector<std::int16_t>& mono, int rate);

// sound.cpp
std::vector<std::int16_t> synthesise_smash(int rate);

// main.cpp
std::string xmp_packet(const std::string& title);
[[noreturn]] void fail(const std::string& why);

} // namespace gen
