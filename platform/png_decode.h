#pragma once
// PNG from memory into 8-bit RGB or RGBA pixels, without a toolkit.
#include <cstdint>
#include <span>
#include <vector>

struct DecodedPicture {
    int width = 0;
    int height = 0;
    bool alpha = false;               // RGBA (straight alpha) when true, else RGB
    std::vector<std::uint8_t> pixels; // rows top to bottom, no padding
};

// False, with picture left empty, for anything that is not a whole, readable PNG
// or that would need more than max_png_pixels pixels.
bool decode_png(std::span<const std::uint8_t> file, DecodedPicture& picture);

inline constexpr std::uint64_t max_png_pixels = 64u * 1024u * 1024u;

bool has_png_signature(std::span<const std::uint8_t> file);
