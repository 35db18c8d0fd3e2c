#include "platform/png_decode.h"

#include <png.h>

#include <cstring>

namespace {

// Frees libpng's read state on every path out.
struct PngImageGuard {
    png_image image;
    PngImageGuard() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImageGuard() { png_image_free(&image); }
    PngImageGuard(const PngImageGuard&) = delete;
    PngImageGuard& operator=(const PngImageGuard&) = delete;
};

} // namespace

bool has_png_signature(std::span<const std::uint8_t> file) {
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return file.size() >= 8 && std::memcmp(file.data(), signature, 8) == 0;
}

bool decode_png(std::span<const std::uint8_t> file, DecodedPicture& picture) {
    picture = {};
    if (!has_png_signature(file))
        return false;
    PngImageGuard guard;
    png_image& image = guard.image;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return false;
    if (image.width == 0 || image.height == 0 ||
        std::uint64_t(image.width) * image.height > max_png_pixels)
        return false;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return false;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.alpha = alpha;
    picture.pixels = std::move(pixels);
    return true;
}
