#pragma once
// Reading the embedded media back for the conformance tests.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace media_test {

using Bytes = std::span<const std::uint8_t>;

Bytes file_of(const std::uint8_t* block);

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kYellow{255, 255, 0};

struct Image {
    int width = 0, height = 0, channels = 3;
    std::vector<std::uint8_t> bytes;
    Rgb at(int x, int y) const {
        const std::uint8_t* p = &bytes[(std::size_t(y) * width + x) * channels];
        return {p[0], p[1], p[2]};
    }
    int alpha(int x, int y) const { return bytes[(std::size_t(y) * width + x) * channels + 3]; }
};

// Decodes through libpng's simplified interface; an empty image on failure.
Image decode_png(Bytes file, bool with_alpha);

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // inclusive
    void add(int x, int y);
    bool operator==(const Box&) const = default;
};
std::string to_string(const Box& b);

// 4-connected groups of non-yellow pixels, by bounding box, largest first.
std::vector<Box> non_yellow_shapes(const Image& img);

std::uint32_t be32(const std::uint8_t* p);
std::uint16_t le16(const std::uint8_t* p);
std::uint32_t le32(const std::uint8_t* p);

} // namespace media_test
