// The toolkit-free media code: WAV checks, PNG decoding, GIF frame decoding and
// compositing, on fixtures made by the tests themselves.
#include "media_fixtures.h"
#include "platform/gif_decoder.h"
#include "platform/png_decode.h"
#include "platform/wav.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

std::span<const std::uint8_t> view(const Bytes& b) {
    return {b.data(), b.size()};
}

const Bytes pcm16 = fmt_body(1, 2, 24000, 16);
const Bytes four_frames = Bytes(16, 0x11);

// ---- WAV ---------------------------------------------------------------------------------

struct BadWav {
    const char* name;
    Bytes file;
};

TEST(WavCheck, BadFilesGiveFalse) {
    const Bytes good = riff({chunk("fmt ", pcm16), chunk("data", four_frames)});
    Bytes truncated = good;
    truncated.resize(good.size() - 3);
    Bytes no_riff = good;
    no_riff[0] = 'X';
    Bytes no_wave = good;
    no_wave[8] = 'X';
    const BadWav rows[] = {
        {"too short: 35 bytes", Bytes(good.begin(), good.begin() + 35)},
        {"no RIFF at 0", no_riff},
        {"no WAVE at 8", no_wave},
        {"no fmt chunk", riff({chunk("LIST", Bytes(24, 0)), chunk("data", four_frames)})},
        {"no data chunk", riff({chunk("fmt ", pcm16), chunk("LIST", Bytes(8, 0))})},
        {"data size 0",
         riff({chunk("fmt ", pcm16), chunk("data", {}), chunk("data", four_frames)})},
        {"data size past the block",
         riff({chunk("fmt ", pcm16), chunk_sized("data", 17, four_frames)})},
        {"extra chunk's size past the block",
         riff({chunk_sized("LIST", 0xFFFFFFF0u, Bytes(24, 0)), chunk("fmt ", pcm16)})},
        {"chunk size wrapping 32 bits",
         riff({chunk("fmt ", pcm16), chunk_sized("data", 0xFFFFFFFFu, four_frames)})},
        {"RIFF size ends before the data chunk",
         riff_sized(4 + 24, {chunk("fmt ", pcm16), chunk("data", four_frames)})},
        {"truncated inside the samples", truncated},
        {"chunk header cut off", riff({chunk("fmt ", pcm16)}) + Bytes{'d', 'a', 't', 'a', 4, 0}},
        {"fmt shorter than 16 bytes", riff({chunk("fmt ", Bytes(pcm16.begin(), pcm16.begin() + 14)),
                                            chunk("data", four_frames)})},
        {"channels 0",
         riff({chunk("fmt ", fmt_body(1, 0, 24000, 16)), chunk("data", four_frames)})},
        {"rate 0", riff({chunk("fmt ", fmt_body(1, 2, 0, 16)), chunk("data", four_frames)})},
        {"12 bits a sample",
         riff({chunk("fmt ", fmt_body(1, 2, 24000, 12)), chunk("data", four_frames)})},
        {"compressed (ADPCM)",
         riff({chunk("fmt ", fmt_body(2, 2, 24000, 4)), chunk("data", four_frames)})},
        {"64 channels",
         riff({chunk("fmt ", fmt_body(1, 64, 24000, 16)), chunk("data", Bytes(128, 0))})},
        {"data shorter than one frame", riff({chunk("fmt ", pcm16), chunk("data", Bytes(3, 0))})},
    };
    for (const BadWav& row : rows) {
        WavInfo info;
        EXPECT_FALSE(parse_wav(view(row.file), info)) << row.name;
    }
}

struct GoodWav {
    const char* name;
    Bytes file;
    SampleFormat format;
    std::uint16_t channels;
    std::uint32_t rate;
    std::size_t sample_bytes;
    std::uint8_t first_sample_byte;
};

TEST(WavCheck, GoodFilesGiveTheirFormatAndSamples) {
    const Bytes samples{1, 2, 3, 4, 5, 6, 7, 8};
    const GoodWav rows[] = {
        {"fmt then data", riff({chunk("fmt ", pcm16), chunk("data", samples)}), SampleFormat::s16le,
         2, 24000, 8, 1},
        {"data before fmt", riff({chunk("data", samples), chunk("fmt ", pcm16)}),
         SampleFormat::s16le, 2, 24000, 8, 1},
        {"extra chunks around them",
         riff({chunk("LIST", Bytes(10, 9)), chunk("fmt ", pcm16), chunk("fact", le32(2)),
               chunk("data", samples)}),
         SampleFormat::s16le, 2, 24000, 8, 1},
        {"fmt with an extension size",
         riff({chunk("fmt ", pcm16 + le16(0)), chunk("data", samples)}), SampleFormat::s16le, 2,
         24000, 8, 1},
        {"8-bit mono", riff({chunk("fmt ", fmt_body(1, 1, 8000, 8)), chunk("data", samples)}),
         SampleFormat::u8, 1, 8000, 8, 1},
        {"float stereo", riff({chunk("fmt ", fmt_body(3, 2, 48000, 32)), chunk("data", samples)}),
         SampleFormat::f32le, 2, 48000, 8, 1},
        {"a partial frame at the end is left out",
         riff({chunk("fmt ", pcm16), chunk("data", Bytes{1, 2, 3, 4, 5, 6})}), SampleFormat::s16le,
         2, 24000, 4, 1},
        {"bytes after the data inside the RIFF size",
         riff({chunk("fmt ", pcm16), chunk("data", samples), Bytes(8, 0)}), SampleFormat::s16le, 2,
         24000, 8, 1},
        {"a second data chunk is not read",
         riff({chunk("fmt ", pcm16), chunk("data", samples), chunk_sized("data", 999, {})}),
         SampleFormat::s16le, 2, 24000, 8, 1},
    };
    for (const GoodWav& row : rows) {
        WavInfo info;
        ASSERT_TRUE(parse_wav(view(row.file), info)) << row.name;
        EXPECT_EQ(info.format, row.format) << row.name;
        EXPECT_EQ(info.channels, row.channels) << row.name;
        EXPECT_EQ(info.rate, row.rate) << row.name;
        EXPECT_EQ(info.samples.size(), row.sample_bytes) << row.name;
        EXPECT_EQ(info.samples[0], row.first_sample_byte) << row.name;
        EXPECT_GE(info.samples.data(), row.file.data()) << row.name;
        EXPECT_LE(info.samples.data() + info.samples.size(), row.file.data() + row.file.size())
            << row.name;
    }
}

// ---- PNG ---------------------------------------------------------------------------------

std::uint32_t gradient(int x, int y) {
    return 0x80000000u | std::uint32_t(x * 40) << 16 | std::uint32_t(y * 60) << 8 | 0x33u;
}

TEST(PngDecode, RgbAndRgbaPixelsComeOutAsStored) {
    for (bool alpha : {false, true}) {
        const Bytes file = make_png(5, 3, alpha, gradient);
        DecodedPicture picture;
        ASSERT_TRUE(decode_png(view(file), picture)) << alpha;
        EXPECT_EQ(picture.width, 5);
        EXPECT_EQ(picture.height, 3);
        EXPECT_EQ(picture.alpha, alpha);
        const std::size_t channels = alpha ? 4 : 3;
        ASSERT_EQ(picture.pixels.size(), 5u * 3u * channels);
        const std::uint8_t* p = &picture.pixels[(2 * 5 + 4) * channels]; // (4, 2)
        EXPECT_EQ(p[0], 160);
        EXPECT_EQ(p[1], 120);
        EXPECT_EQ(p[2], 0x33);
        if (alpha) {
            EXPECT_EQ(p[3], 0x80);
        }
    }
}

// A PNG of any size with just a signature and an IHDR chunk, CRC right.
Bytes png_header_only(std::uint32_t width, std::uint32_t height) {
    auto be32 = [](std::uint32_t v) {
        return Bytes{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8),
                     std::uint8_t(v)};
    };
    Bytes body = Bytes{'I', 'H', 'D', 'R'} + be32(width) + be32(height) + Bytes{8, 2, 0, 0, 0};
    const std::uint32_t crc = std::uint32_t(crc32(0, body.data(), uInt(body.size())));
    return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + be32(13) + body + be32(crc);
}

TEST(PngDecode, BadBytesFailCleanly) {
    const Bytes good = make_png(16, 16, false, gradient);
    Bytes truncated(good.begin(), good.begin() + std::ptrdiff_t(good.size() / 2));
    Bytes damaged = good;
    damaged[good.size() / 2] ^= 0xFF; // inside the IDAT: its CRC no longer matches
    const BadWav rows[] = {
        {"empty", {}},
        {"signature only", Bytes(good.begin(), good.begin() + 8)},
        {"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"truncated", truncated},
        {"damaged IDAT", damaged},
        {"header only", png_header_only(16, 16)},
        {"too many pixels", png_header_only(900000, 900000)},
    };
    for (const BadWav& row : rows) {
        DecodedPicture picture;
        EXPECT_FALSE(decode_png(view(row.file), picture)) << row.name;
        EXPECT_TRUE(picture.pixels.empty()) << row.name;
    }
}

// ---- GIF ---------------------------------------------------------------------------------

const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

std::vector<FixtureFrame> three_frames() {
    FixtureFrame holey = solid_frame(2, 1, 4, 3, 3, 0, 4);
    holey.indices[0] = 4; // (2, 1) transparent
    holey.indices[5] = 4; // (3, 2) transparent
    return {solid_frame(0, 0, 8, 6, 1, 20), solid_frame(6, 4, 2, 2, 2, 10, 4), holey};
}

TEST(GifDecode, FramesComeInOrderWithRectanglesDelaysAndTransparency) {
    const Bytes file = make_gif(8, 6, palette, three_frames());
    GifPass pass(view(file));
    ASSERT_TRUE(pass.ok());
    EXPECT_EQ(pass.screen_width(), 8);
    EXPECT_EQ(pass.screen_height(), 6);
    struct Expected {
        int left, top, width, height, delay, transparent;
    } expected[] = {{0, 0, 8, 6, 20, -1}, {6, 4, 2, 2, 10, 4}, {2, 1, 4, 3, 0, 4}};
    GifFrame frame;
    for (const Expected& e : expected) {
        ASSERT_EQ(pass.next_frame(frame), GifStep::frame);
        EXPECT_EQ(frame.left, e.left);
        EXPECT_EQ(frame.top, e.top);
        EXPECT_EQ(frame.width, e.width);
        EXPECT_EQ(frame.height, e.height);
        EXPECT_EQ(frame.delay, e.delay);
        EXPECT_EQ(frame.transparent, e.transparent);
        EXPECT_EQ(frame.indices.size(), std::size_t(e.width * e.height));
        EXPECT_EQ(frame.colours[1], 0xFFFF0000u);
    }
    EXPECT_EQ(pass.next_frame(frame), GifStep::end);
}

TEST(GifDecode, CompositingKeepsTransparentPixelsAndAccumulates) {
    const Bytes file = make_gif(8, 6, palette, three_frames());
    GifPass pass(view(file));
    std::vector<std::uint32_t> canvas(8 * 6, 0xFF123456u);
    GifFrame frame;
    while (pass.next_frame(frame) == GifStep::frame)
        composite_frame(frame, canvas.data(), 8, 6, 8);
    auto at = [&](int x, int y) { return canvas[std::size_t(y * 8 + x)]; };
    EXPECT_EQ(at(0, 0), 0xFFFF0000u) << "frame 1 everywhere it is not overdrawn";
    EXPECT_EQ(at(7, 5), 0xFF00FF00u) << "frame 2 left in place";
    EXPECT_EQ(at(3, 1), 0xFF0000FFu) << "frame 3 opaque pixel";
    EXPECT_EQ(at(2, 1), 0xFFFF0000u) << "frame 3 transparent pixel shows frame 1";
    EXPECT_EQ(at(3, 2), 0xFFFF0000u) << "frame 3 transparent pixel shows frame 1";
}

TEST(GifDecode, FramePastTheScreenIsClipped) {
    const Bytes file = make_gif(4, 4, palette, {solid_frame(2, 2, 6, 6, 2, 0)});
    GifPass pass(view(file));
    GifFrame frame;
    ASSERT_EQ(pass.next_frame(frame), GifStep::frame);
    std::vector<std::uint32_t> canvas(4 * 4 + 4, 0); // one guard row past the screen
    composite_frame(frame, canvas.data(), 4, 4, 4);
    EXPECT_EQ(canvas[3 * 4 + 3], 0xFF00FF00u);
    EXPECT_EQ(canvas[1 * 4 + 3], 0u);
    for (int i = 16; i < 20; ++i)
        EXPECT_EQ(canvas[std::size_t(i)], 0u) << "nothing written past the screen";
}

TEST(GifDecode, InterlacedRowsLandInTheirPlaces) {
    FixtureFrame f = solid_frame(0, 0, 1, 10, 0, 0);
    for (int y = 0; y < 10; ++y)
        f.indices[std::size_t(y)] = std::uint8_t(y % 5);
    f.interlaced = true;
    const Bytes file = make_gif(1, 10, palette, {f});
    GifPass pass(view(file));
    GifFrame frame;
    ASSERT_EQ(pass.next_frame(frame), GifStep::frame);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(frame.indices[std::size_t(y)], y % 5) << "row " << y;
}

TEST(GifDecode, EveryPassStartsAgainFromTheFirstFrame) {
    const Bytes file = make_gif(8, 6, palette, three_frames());
    for (int round = 0; round < 3; ++round) {
        GifPass pass(view(file));
        GifFrame frame;
        int frames = 0;
        while (pass.next_frame(frame) == GifStep::frame)
            ++frames;
        EXPECT_EQ(frames, 3);
    }
}

TEST(GifDecode, DamagedFilesEndThePass) {
    const Bytes good = make_gif(8, 6, palette, three_frames());
    const Bytes cut(good.begin(), good.end() - 20);
    {
        GifPass pass(view(cut));
        ASSERT_TRUE(pass.ok());
        GifFrame frame;
        GifStep step;
        int frames = 0;
        while ((step = pass.next_frame(frame)) == GifStep::frame)
            ++frames;
        EXPECT_EQ(step, GifStep::error) << "a cut file ends in an error, not an end";
        EXPECT_LT(frames, 3);
    }
    const BadWav not_open[] = {
        {"empty", {}},
        {"signature only", Bytes{'G', 'I', 'F', '8', '9', 'a'}},
        {"a PNG", make_png(2, 2, false, gradient)},
        {"screen cut off", Bytes(good.begin(), good.begin() + 20)},
    };
    for (const BadWav& row : not_open)
        EXPECT_FALSE(GifPass(view(row.file)).ok()) << row.name;
}

TEST(GifDecode, FrameTimes) {
    EXPECT_EQ(frame_time_ms(0), 50);
    EXPECT_EQ(frame_time_ms(10), 100);
    EXPECT_EQ(frame_time_ms(20), 200);
    EXPECT_EQ(frame_time_ms(24000), 240000);
}

} // namespace
