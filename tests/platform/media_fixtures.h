#pragma once
// Small media files made on the spot, so each test shows its fault in a few bytes.
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The file wrapped as the program holds its assets: LE32 1, LE32 N, the N bytes.
Bytes make_block(const Bytes& file);

// A PNG whose pixel (x, y) is colour(x, y) as 0xAARRGGBB; alpha is dropped unless asked.
Bytes make_png(int width, int height, bool alpha, std::uint32_t (*colour)(int x, int y));

struct FixtureFrame {
    int left = 0, top = 0, width = 0, height = 0;
    int delay = 0;                     // hundredths of a second
    int transparent = -1;              // index, or -1 for none
    std::vector<std::uint8_t> indices; // width * height
    bool interlaced = false;
};

// A GIF89a on a screen of width x height with a 256-entry global colour table.
Bytes make_gif(int width, int height, const std::vector<std::uint32_t>& colours,
               const std::vector<FixtureFrame>& frames);

// A solid frame of one index over the rectangle.
FixtureFrame solid_frame(int left, int top, int width, int height, std::uint8_t index, int delay,
                         int transparent = -1);

// WAV pieces: a chunk, a PCM fmt chunk, and a RIFF file around chunks.
Bytes chunk(const std::string& id, const Bytes& body);
Bytes chunk_sized(const std::string& id, std::uint32_t claimed_size, const Bytes& body);
Bytes fmt_body(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits);
Bytes riff(const std::vector<Bytes>& chunks);
Bytes riff_sized(std::uint32_t riff_size, const std::vector<Bytes>& chunks);
Bytes le16(std::uint16_t v);
Bytes le32(std::uint32_t v);
Bytes operator+(Bytes a, const Bytes& b);
