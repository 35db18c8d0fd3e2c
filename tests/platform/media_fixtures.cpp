#include "media_fixtures.h"

#include <gif_lib.h>
#include <png.h>

#include <cstring>
#include <stdexcept>

Bytes le16(std::uint16_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8)};
}
Bytes le32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes make_block(const Bytes& file) {
    return le32(1) + le32(std::uint32_t(file.size())) + file;
}

Bytes make_png(int width, int height, bool alpha, std::uint32_t (*colour)(int x, int y)) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const int channels = alpha ? 4 : 3;
    Bytes pixels(std::size_t(width) * std::size_t(height) * std::size_t(channels));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            std::uint8_t* p = &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) *
                                      std::size_t(channels)];
            p[0] = std::uint8_t(c >> 16);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c);
            if (alpha)
                p[3] = std::uint8_t(c >> 24);
        }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("png size");
    Bytes file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("png write");
    file.resize(size);
    return file;
}

namespace {
int write_to(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}
} // namespace

Bytes make_gif(int width, int height, const std::vector<std::uint32_t>& colours,
               const std::vector<FixtureFrame>& frames) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, write_to, &error);
    if (!gif)
        throw std::runtime_error("EGifOpen");
    GifColorType table[256] = {};
    for (std::size_t i = 0; i < colours.size() && i < 256; ++i)
        table[i] = {GifByteType(colours[i] >> 16), GifByteType(colours[i] >> 8),
                    GifByteType(colours[i])};
    ColorMapObject* map = GifMakeMapObject(256, table);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    for (const FixtureFrame& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.DelayTime = f.delay;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(n), ext) == GIF_OK;
        ok = ok && EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr) ==
                       GIF_OK;
        std::vector<std::uint8_t> rows = f.indices; // EGifPutLine scribbles on its input
        auto put_row = [&](int y) {
            ok = ok && EGifPutLine(gif, rows.data() + std::size_t(y) * std::size_t(f.width),
                                   f.width) == GIF_OK;
        };
        if (f.interlaced) {
            static constexpr int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    put_row(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                put_row(y);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!ok)
        throw std::runtime_error("gif write");
    return out;
}

FixtureFrame solid_frame(int left, int top, int width, int height, std::uint8_t index, int delay,
                         int transparent) {
    FixtureFrame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.delay = delay;
    f.transparent = transparent;
    f.indices.assign(std::size_t(width) * std::size_t(height), index);
    return f;
}

Bytes chunk_sized(const std::string& id, std::uint32_t claimed_size, const Bytes& body) {
    Bytes out(id.begin(), id.end());
    return out + le32(claimed_size) + body;
}
Bytes chunk(const std::string& id, const Bytes& body) {
    return chunk_sized(id, std::uint32_t(body.size()), body);
}
Bytes fmt_body(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    const std::uint16_t align = std::uint16_t(channels * (bits / 8));
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}
Bytes riff_sized(std::uint32_t riff_size, const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks)
        body = body + c;
    return Bytes{'R', 'I', 'F', 'F'} + le32(riff_size) + body;
}
Bytes riff(const std::vector<Bytes>& chunks) {
    std::uint32_t size = 4;
    for (const Bytes& c : chunks)
        size += std::uint32_t(c.size());
    return riff_sized(size, chunks);
}
