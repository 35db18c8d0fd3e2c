// The two card pictures and the program icon, read back from their blocks.
#include "media/assets.h"
#include "tests/media/assets_util.h"

#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace media_test;

namespace {

struct Chunk {
    std::string type;
    Bytes data;
};

// Splits a PNG into its chunks; fails the test on a bad signature, a chunk
// running past the end or a wrong CRC.
std::vector<Chunk> chunks_of(Bytes file) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<Chunk> out;
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0) {
        ADD_FAILURE() << "no PNG signature";
        return out;
    }
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t n = be32(&file[at]);
        if (at + 12 + n > file.size()) {
            ADD_FAILURE() << "chunk runs past the end";
            return out;
        }
        const std::uint32_t crc = be32(&file[at + 8 + n]);
        EXPECT_EQ(crc, crc32(0, &file[at + 4], 4 + n)) << "CRC of chunk " << out.size();
        out.push_back({std::string(reinterpret_cast<const char*>(&file[at + 4]), 4),
                       file.subspan(at + 8, n)});
        at += 12 + n;
    }
    EXPECT_EQ(at, file.size()) << "bytes after the last chunk";
    return out;
}

struct CardPicture {
    const char* name;
    const std::uint8_t* block;
};

class CardPictureFormat : public testing::TestWithParam<CardPicture> {};

TEST_P(CardPictureFormat, HasExactlyTheAgreedChunksInOrder) {
    const auto chunks = chunks_of(file_of(GetParam().block));
    std::vector<std::string> types;
    for (const auto& c : chunks)
        types.push_back(c.type);
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "tEXt", "iTXt", "IDAT", "IEND"}));
    ASSERT_EQ(chunks.size(), 5u);

    const Bytes ihdr = chunks[0].data;
    ASSERT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(be32(&ihdr[0]), 378u);
    EXPECT_EQ(be32(&ihdr[4]), 216u);
    EXPECT_EQ(ihdr[8], 8) << "bit depth";
    EXPECT_EQ(ihdr[9], 2) << "colour type RGB";
    EXPECT_EQ(ihdr[10], 0) << "compression";
    EXPECT_EQ(ihdr[11], 0) << "filter method";
    EXPECT_EQ(ihdr[12], 0) << "interlace";

    const std::string text(chunks[1].data.begin(), chunks[1].data.end());
    EXPECT_EQ(text.substr(0, 9), std::string("Software\0", 9));
    const std::string itxt(chunks[2].data.begin(), chunks[2].data.end());
    EXPECT_EQ(itxt.substr(0, 18), std::string("XML:com.adobe.xmp\0", 18));
    EXPECT_NE(itxt.find("<x:xmpmeta"), std::string::npos) << "an XMP packet";
    EXPECT_NE(itxt.find("<?xpacket end"), std::string::npos);
}

TEST_P(CardPictureFormat, DecodesToTheBoxSize) {
    const Image img = decode_png(file_of(GetParam().block), false);
    EXPECT_EQ(img.width, 378);
    EXPECT_EQ(img.height, 216);
}

INSTANTIATE_TEST_SUITE_P(Cards, CardPictureFormat,
                         testing::Values(CardPicture{"face_image", face_image},
                                         CardPicture{"cover_image", cover_image}),
                         [](const auto& row) { return std::string(row.param.name); });

double yellow_share(const Image& img) {
    int n = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            n += img.at(x, y) == kYellow;
    return double(n) / (img.width * img.height);
}

bool near(Rgb c, Rgb want, int tol) {
    return std::abs(c.r - want.r) <= tol && std::abs(c.g - want.g) <= tol &&
           std::abs(c.b - want.b) <= tol;
}

TEST(FaceImage, YellowBackgroundAroundTheBrokenShell) {
    const Image img = decode_png(file_of(face_image), false);
    ASSERT_EQ(img.width, 378);
    for (int y = 0; y <= 59; ++y)
        for (int x = 0; x < img.width; ++x)
            ASSERT_EQ(img.at(x, y), kYellow) << "(" << x << ", " << y << ")";
    for (auto [x, y] : {std::pair{0, 0}, {377, 0}, {0, 215}, {377, 215}})
        EXPECT_EQ(img.at(x, y), kYellow) << "corner " << x << ", " << y;
    EXPECT_NEAR(yellow_share(img), 0.72, 0.03);

    // Shell and box together: one shape, touching no edge.
    const auto shapes = non_yellow_shapes(img);
    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ(to_string(shapes[0]), "columns 62-308, rows 61-208");
}

TEST(FaceImage, ThePrizeLabelsTopThirdLiesOnYellow) {
    const Image img = decode_png(file_of(face_image), false);
    ASSERT_EQ(img.width, 378);
    // Right of the shell's broken edge the label's rows 95-108 see only the background.
    for (int y = 95; y <= 108; ++y)
        for (int x = 150; x <= 232; ++x)
            ASSERT_EQ(img.at(x, y), kYellow) << "(" << x << ", " << y << ")";
}

TEST(FaceImage, ShowsTheGiftBoxAndTheBrokenEdge) {
    const Image img = decode_png(file_of(face_image), false);
    ASSERT_EQ(img.width, 378);
    int lid_red = 0, highlight = 0, body_dark_red = 0, snow = 0, brown = 0, gold = 0;
    for (int y = 0; y < 216; ++y)
        for (int x = 0; x < 378; ++x) {
            const Rgb c = img.at(x, y);
            const bool red = c.r > 170 && c.g < 80 && c.b < 80;
            if (y >= 109 && y <= 150 && x >= 133 && x <= 245)
                lid_red += red, highlight += c.r > 240 && c.g > 230 && c.b > 230;
            if (y > 152 && y <= 190 && x >= 160 && x <= 215) {
                body_dark_red += c.r > 80 && c.r < 170 && c.g < 40 && c.b < 50;
                snow += c.r > 230 && c.g > 230 && c.b > 230;
            }
            brown += near(c, Rgb{69, 49, 6}, 8);
            gold += c.r > 200 && c.g > 140 && c.g < 225 && c.b < 60;
        }
    EXPECT_GT(lid_red, 1500) << "a red lid";
    EXPECT_GT(highlight, 60) << "a white highlight on the lid";
    EXPECT_GT(body_dark_red, 800) << "a dark red body";
    EXPECT_GT(snow, 60) << "white snowflakes on the body";
    EXPECT_GT(brown, 400) << "the dark brown band along the break";
    EXPECT_GT(gold, 10000) << "an orange-gold shell";
}

TEST(CoverImage, AnUprightEggAndAHammerThatDoNotTouch) {
    const Image img = decode_png(file_of(cover_image), false);
    ASSERT_EQ(img.width, 378);
    EXPECT_NEAR(yellow_share(img), 0.76, 0.03);
    for (auto [x, y] : {std::pair{0, 0}, {377, 0}, {0, 215}, {377, 215}})
        EXPECT_EQ(img.at(x, y), kYellow) << "corner " << x << ", " << y;
    const auto shapes = non_yellow_shapes(img);
    ASSERT_EQ(shapes.size(), 2u) << "egg and hammer, apart";
    EXPECT_EQ(to_string(shapes[0]), "columns 125-248, rows 48-215") << "the egg";
    EXPECT_EQ(to_string(shapes[1]), "columns 228-294, rows 0-119") << "the hammer";
    // The handle ends low and to the right, about (285, 118).
    int sum = 0, n = 0;
    for (int x = 260; x <= 294; ++x)
        if (!(img.at(x, 119) == kYellow))
            sum += x, ++n;
    ASSERT_GT(n, 0);
    EXPECT_NEAR(double(sum) / n, 285, 8);
}

TEST(CoverImage, TheEggIsGoldDarkerLowerLeftBrighterUpperRight) {
    const Image img = decode_png(file_of(cover_image), false);
    ASSERT_EQ(img.width, 378);
    // Quadrants of the egg around its middle (187, 132).
    double lum[2][2] = {}, count[2][2] = {};
    double r = 0, g = 0, b = 0, n = 0;
    int best = -1, bx = 0, by = 0;
    for (int y = 48; y <= 215; ++y)
        for (int x = 125; x <= 248; ++x) {
            const Rgb c = img.at(x, y);
            if (c == kYellow)
                continue;
            const int q = (x >= 187) * 2 + (y < 132);
            lum[q / 2][q % 2] += 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
            ++count[q / 2][q % 2];
            r += c.r, g += c.g, b += c.b, ++n;
            if (c.r + c.g + c.b > best)
                best = c.r + c.g + c.b, bx = x, by = y;
        }
    const double lower_left = lum[0][0] / count[0][0], upper_right = lum[1][1] / count[1][1];
    EXPECT_LT(lower_left + 20, upper_right);
    EXPECT_GT(bx, 187) << "highlight to the right";
    EXPECT_LT(by, 132) << "highlight in the upper half";
    EXPECT_NEAR(r / n, 235, 20) << "orange-gold, around (253, 200, 10)";
    EXPECT_NEAR(g / n, 175, 25);
    EXPECT_LT(b / n, 50);
}

TEST(ProgramIcon, IsA256PixelRgbaEggOnTransparency) {
    const auto chunks = chunks_of(file_of(program_icon));
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.front().data[9], 6) << "colour type RGBA";
    const Image img = decode_png(file_of(program_icon), true);
    ASSERT_EQ(img.width, 256);
    ASSERT_EQ(img.height, 256);
    for (auto [x, y] : {std::pair{0, 0}, {255, 255}, {0, 255}})
        EXPECT_EQ(img.alpha(x, y), 0) << "corner " << x << ", " << y;
    EXPECT_EQ(img.alpha(112, 150), 255);
    const Rgb c = img.at(112, 150);
    EXPECT_GT(c.r, 180);
    EXPECT_GT(c.g, 110);
    EXPECT_LT(c.b, 80);
}

} // namespace
