// The smash animation: its byte structure read by hand, its frames decoded by
// giflib and composited as a player does (disposal 1, index 255 transparent).
#include "media/assets.h"
#include "tests/media/assets_util.h"

#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>

using namespace media_test;

namespace {

struct FrameRow {
    const char* name;
    int left, top, width, height, delay;
};

const FrameRow kFrames[10] = {{"f01_egg_at_rest", 0, 0, 378, 216, 0},
                              {"f02_hammer_lifted", 227, 0, 151, 120, 20},
                              {"f03_the_blow", 184, 5, 194, 118, 20},
                              {"f04_hammer_back", 184, 0, 112, 123, 10},
                              {"f05_crack_rows_49_75", 124, 48, 125, 168, 0},
                              {"f06_crack_rows_76_103", 125, 76, 123, 92, 0},
                              {"f07_crack_rows_103_131", 129, 103, 116, 77, 0},
                              {"f08_crack_rows_131_160", 135, 131, 105, 60, 0},
                              {"f09_crack_rows_160_186", 143, 160, 89, 43, 0},
                              {"f10_crack_rows_186_214", 155, 186, 66, 30, 24000}};

// The file's blocks after the global colour table, walked by hand.
struct Parsed {
    std::vector<std::string> apps;     // application identifiers + auth codes
    std::vector<std::string> app_data; // their sub-blocks joined
    std::vector<std::array<std::uint8_t, 4>> controls;
    std::vector<std::array<int, 5>> images; // left, top, width, height, descriptor packed byte
    std::vector<int> min_code_sizes;
    bool trailer_last = false;
};

std::string sub_blocks(Bytes f, std::size_t& at) {
    std::string out;
    while (at < f.size() && f[at] != 0) {
        const std::size_t n = f[at];
        out.append(reinterpret_cast<const char*>(&f[at + 1]), n);
        at += 1 + n;
    }
    ++at;
    return out;
}

Parsed parse(Bytes f) {
    Parsed p;
    std::size_t at = 13 + 3 * 256;
    while (at < f.size()) {
        const std::uint8_t b = f[at];
        if (b == 0x3B) {
            p.trailer_last = at + 1 == f.size();
            break;
        }
        if (b == 0x21 && f[at + 1] == 0xFF) {
            EXPECT_EQ(f[at + 2], 11);
            p.apps.emplace_back(reinterpret_cast<const char*>(&f[at + 3]), 11);
            at += 14;
            p.app_data.push_back(sub_blocks(f, at));
        } else if (b == 0x21 && f[at + 1] == 0xF9) {
            EXPECT_EQ(f[at + 2], 4);
            p.controls.push_back({f[at + 3], f[at + 4], f[at + 5], f[at + 6]});
            EXPECT_EQ(f[at + 7], 0) << "block terminator";
            at += 8;
        } else if (b == 0x2C) {
            p.images.push_back({le16(&f[at + 1]), le16(&f[at + 3]), le16(&f[at + 5]),
                                le16(&f[at + 7]), f[at + 9]});
            p.min_code_sizes.push_back(f[at + 10]);
            at += 11;
            sub_blocks(f, at);
        } else {
            ADD_FAILURE() << "unexpected byte " << int(b) << " at " << at;
            break;
        }
    }
    return p;
}

TEST(SmashAnimation, ScreenAndColourTable) {
    const Bytes f = file_of(smash_animation);
    ASSERT_GT(f.size(), 13u + 768u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.data()), 6), "GIF89a");
    EXPECT_EQ(le16(&f[6]), 378);
    EXPECT_EQ(le16(&f[8]), 216);
    EXPECT_EQ(f[10], 0xF7);
    EXPECT_EQ(f[11], 255) << "background index";
    EXPECT_EQ(f[12], 0) << "aspect";
    const std::uint8_t* table = &f[13];
    EXPECT_EQ((Rgb{table[254 * 3], table[254 * 3 + 1], table[254 * 3 + 2]}), kYellow);
    EXPECT_EQ((Rgb{table[255 * 3], table[255 * 3 + 1], table[255 * 3 + 2]}), (Rgb{255, 255, 255}));
    for (int i = 0; i < 255; ++i)
        EXPECT_FALSE(table[i * 3] == 255 && table[i * 3 + 1] == 255 && table[i * 3 + 2] == 255)
            << "entry " << i << " is white too";
}

TEST(SmashAnimation, BlocksInOrder) {
    const Parsed p = parse(file_of(smash_animation));
    ASSERT_EQ(p.apps.size(), 2u);
    EXPECT_EQ(p.apps[0], "NETSCAPE2.0");
    EXPECT_EQ(p.app_data[0], std::string("\x01\x00\x00", 3)) << "loop count 0";
    EXPECT_EQ(p.apps[1], "XMP DataXMP");
    EXPECT_EQ(p.app_data[1].rfind("<?xpacket begin", 0), 0u) << "an intact XMP packet";
    EXPECT_NE(p.app_data[1].find("<?xpacket end=\"r\"?>"), std::string::npos);
    EXPECT_TRUE(p.trailer_last);
    EXPECT_EQ(p.controls.size(), 10u);
    EXPECT_EQ(p.images.size(), 10u);
}

class SmashFrame : public testing::TestWithParam<int> {};

TEST_P(SmashFrame, RectangleDelayAndControlBlock) {
    const int k = GetParam();
    const FrameRow& want = kFrames[k];
    const Parsed p = parse(file_of(smash_animation));
    ASSERT_EQ(p.images.size(), 10u);
    ASSERT_EQ(p.controls.size(), 10u);
    EXPECT_EQ(p.controls[k][0], 0x05) << "disposal 1, transparent flag";
    EXPECT_EQ(p.controls[k][1] | p.controls[k][2] << 8, want.delay);
    EXPECT_EQ(p.controls[k][3], 255) << "transparent index";
    EXPECT_EQ(p.images[k][0], want.left);
    EXPECT_EQ(p.images[k][1], want.top);
    EXPECT_EQ(p.images[k][2], want.width);
    EXPECT_EQ(p.images[k][3], want.height);
    EXPECT_EQ(p.images[k][4], 0) << "no local table, no interlace";
    EXPECT_EQ(p.min_code_sizes[k], 8);
}

INSTANTIATE_TEST_SUITE_P(Frames, SmashFrame, testing::Range(0, 10),
                         [](const auto& row) { return std::string(kFrames[row.param].name); });

// ---- Decoded with giflib ----

struct Reader {
    Bytes file;
    std::size_t at = 0;
};

int read_memory(GifFileType* gif, GifByteType* out, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const int take = int(std::min<std::size_t>(std::size_t(n), r->file.size() - r->at));
    std::memcpy(out, r->file.data() + r->at, std::size_t(take));
    r->at += std::size_t(take);
    return take;
}

struct Decoded {
    std::vector<std::vector<std::uint8_t>> frames; // each frame's own indices, its rectangle
    std::vector<std::vector<std::uint8_t>> shown;  // the composite after each frame
    std::vector<Rgb> palette;
    Image rgb(int k) const {
        Image img{378, 216, 3, {}};
        for (std::uint8_t i : shown[std::size_t(k)])
            img.bytes.insert(img.bytes.end(),
                             {std::uint8_t(palette[i].r), std::uint8_t(palette[i].g),
                              std::uint8_t(palette[i].b)});
        return img;
    }
};

const Decoded& decoded() {
    static const Decoded d = [] {
        Decoded out;
        Reader reader{file_of(smash_animation)};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, read_memory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            ADD_FAILURE() << "giflib cannot read the animation";
            if (gif)
                DGifCloseFile(gif, &error);
            return out;
        }
        for (int i = 0; i < 256; ++i) {
            const GifColorType c = gif->SColorMap->Colors[i];
            out.palette.push_back({c.Red, c.Green, c.Blue});
        }
        std::vector<std::uint8_t> shown(378 * 216, 255);
        for (int k = 0; k < gif->ImageCount; ++k) {
            const SavedImage& s = gif->SavedImages[k];
            const GifImageDesc& desc = s.ImageDesc;
            out.frames.emplace_back(s.RasterBits, s.RasterBits + desc.Width * desc.Height);
            for (int y = 0; y < desc.Height; ++y)
                for (int x = 0; x < desc.Width; ++x) {
                    const std::uint8_t v = s.RasterBits[y * desc.Width + x];
                    if (v != 255)
                        shown[std::size_t(desc.Top + y) * 378 + std::size_t(desc.Left + x)] = v;
                }
            out.shown.push_back(shown);
        }
        DGifCloseFile(gif, &error);
        return out;
    }();
    return d;
}

TEST(SmashAnimationPixels, FirstFrameIsTheCoverInFewerColours) {
    const Decoded& d = decoded();
    ASSERT_EQ(d.shown.size(), 10u);
    const Image cover = decode_png(file_of(cover_image), false);
    const Image first = d.rgb(0);
    int worst = 0;
    double total = 0;
    for (std::uint8_t v : d.frames[0])
        ASSERT_NE(v, 255) << "frame 1 is fully opaque";
    for (int y = 0; y < 216; ++y)
        for (int x = 0; x < 378; ++x) {
            const Rgb a = cover.at(x, y), b = first.at(x, y);
            const int diff =
                std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            worst = std::max(worst, diff);
            total += diff;
            if (a == kYellow) {
                ASSERT_EQ(b, kYellow) << "(" << x << ", " << y << ")";
            }
        }
    EXPECT_LE(worst, 24);
    EXPECT_LE(total / (378 * 216), 1.5) << "mean largest channel difference";
}

TEST(SmashAnimationPixels, LaterFramesHoldTheTransparentIndexWhereNothingChanges) {
    const Decoded& d = decoded();
    ASSERT_EQ(d.shown.size(), 10u);
    for (int k = 1; k < 10; ++k) {
        const FrameRow& r = kFrames[k];
        int opaque = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const std::uint8_t v = d.frames[std::size_t(k)][std::size_t(y * r.width + x)];
                if (v == 255)
                    continue;
                ++opaque;
                const std::size_t i = std::size_t(r.top + y) * 378 + std::size_t(r.left + x);
                ASSERT_NE(v, d.shown[std::size_t(k - 1)][i])
                    << kFrames[k].name << " repaints an unchanged pixel at (" << r.left + x << ", "
                    << r.top + y << ")";
            }
        EXPECT_GT(opaque, 0) << kFrames[k].name << " changes something";
    }
}

TEST(SmashAnimationPixels, AfterTheFourthFrameThePictureIsTheFirstAgain) {
    const Decoded& d = decoded();
    ASSERT_EQ(d.shown.size(), 10u);
    EXPECT_TRUE(d.shown[3] == d.shown[0]);
}

// Box of the non-yellow pixels a frame paints: the hammer it draws.
Box painted_shape(const Decoded& d, int k) {
    const FrameRow& r = kFrames[k];
    Box box;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const std::uint8_t v = d.frames[std::size_t(k)][std::size_t(y * r.width + x)];
            if (v != 255 && v != 254)
                box.add(r.left + x, r.top + y);
        }
    return box;
}

TEST(SmashAnimationPixels, TheHammerSwings) {
    const Decoded& d = decoded();
    ASSERT_EQ(d.shown.size(), 10u);
    EXPECT_EQ(to_string(painted_shape(d, 1)), "columns 291-377, rows 5-107") << "lifted";
    EXPECT_EQ(to_string(painted_shape(d, 2)), "columns 184-287, rows 29-122") << "the blow";
    // While lifted, the resting place is yellow again and egg and hammer are apart.
    const auto shapes = non_yellow_shapes(d.rgb(1));
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(to_string(shapes[0]), "columns 125-248, rows 48-215");
    EXPECT_EQ(to_string(shapes[1]), "columns 291-377, rows 5-107");
}

bool olive(Rgb c) {
    return c.r < 140 && c.g < 140 && c.b < 40 && std::abs(c.r - c.g) < 30;
}

TEST(SmashAnimationPixels, TheCrackGrowsBandByBand) {
    const Decoded& d = decoded();
    ASSERT_EQ(d.shown.size(), 10u);
    const int bands[6][2] = {{49, 75}, {76, 103}, {103, 131}, {131, 160}, {160, 186}, {186, 214}};
    for (int k = 4; k < 10; ++k) {
        const FrameRow& r = kFrames[k];
        int crack = 0, retouched = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const std::uint8_t v = d.frames[std::size_t(k)][std::size_t(y * r.width + x)];
                if (v == 255)
                    continue;
                const int row = r.top + y;
                if (olive(d.palette[v])) {
                    ++crack;
                    EXPECT_GE(row, bands[k - 4][0]) << r.name;
                    EXPECT_LE(row, bands[k - 4][1]) << r.name;
                } else {
                    ++retouched;
                }
            }
        EXPECT_GT(crack, 40) << r.name;
        EXPECT_GE(retouched, 100) << r.name << ": a few hundred egg pixels move";
        EXPECT_LE(retouched, 1000) << r.name;
    }
    // The finished crack passes through its turning points, top to bottom.
    const Image last = d.rgb(9);
    const int points[][2] = {{188, 49},  {179, 70},  {197, 86},  {180, 108}, {197, 125},
                             {179, 146}, {196, 162}, {179, 182}, {197, 198}, {189, 214}};
    for (auto [px, py] : points) {
        bool found = false;
        for (int y = py - 2; y <= py + 2; ++y)
            for (int x = px - 2; x <= px + 2; ++x)
                found |= y >= 0 && y < 216 && olive(last.at(x, y));
        EXPECT_TRUE(found) << "crack near (" << px << ", " << py << ")";
    }
}

} // namespace
