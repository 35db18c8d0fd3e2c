// Writers for the three file formats. PNG and GIF go through libpng and giflib;
// the WAV header is small enough to write by hand.
#include "gen.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <png.h>

namespace gen {
namespace {

void png_to_vector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void png_flush_nothing(png_structp) {}

[[noreturn]] void png_failed(png_structp, png_const_charp message) {
    fail(std::string("libpng: ") + message);
}

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngWriter() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_failed, nullptr);
        if (!png)
            fail("libpng: cannot create a writer");
        info = png_create_info_struct(png);
        if (!info)
            fail("libpng: cannot create info");
    }
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;
};

std::vector<std::uint8_t> write_png(int width, int height, int colour_type, int channels,
                                    const std::uint8_t* rows, const std::string* xmp) {
    std::vector<std::uint8_t> out;
    PngWriter w;
    png_set_write_fn(w.png, &out, png_to_vector, png_flush_nothing);
    // One buffer larger than the compressed picture keeps all data in a single IDAT.
    png_set_compression_buffer_size(w.png, 1u << 22);
    png_set_compression_level(w.png, 9);
    png_set_IHDR(w.png, w.info, png_uint_32(width), png_uint_32(height), 8, colour_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    char software_key[] = "Software";
    char software[] = "eggdraw media generator";
    char xmp_key[] = "XML:com.adobe.xmp";
    std::string xmp_copy = xmp ? *xmp : std::string();
    png_text text[2] = {};
    text[0].compression = PNG_TEXT_COMPRESSION_NONE;
    text[0].key = software_key;
    text[0].text = software;
    text[0].text_length = std::strlen(software);
    int text_count = 1;
    if (xmp) {
        text[1].compression = PNG_ITXT_COMPRESSION_NONE;
        text[1].key = xmp_key;
        text[1].text = xmp_copy.data();
        text[1].itxt_length = xmp_copy.size();
        text[1].lang = nullptr;
        text[1].lang_key = nullptr;
        text_count = 2;
    }
    png_set_text(w.png, w.info, text, text_count);
    png_write_info(w.png, w.info);
    const std::size_t stride = std::size_t(width) * channels;
    for (int y = 0; y < height; ++y)
        png_write_row(w.png, rows + stride * y);
    png_write_end(w.png, nullptr);
    return out;
}

int gif_to_vector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct GifWriter {
    GifFileType* gif = nullptr;
    explicit GifWriter(std::vector<std::uint8_t>* out) {
        int error = 0;
        gif = EGifOpen(out, gif_to_vector, &error);
        if (!gif)
            fail(std::string("giflib: ") + GifErrorString(error));
    }
    ~GifWriter() {
        if (gif)
            EGifCloseFile(gif, nullptr);
    }
    void close() {
        int error = 0;
        GifFileType* g = gif;
        gif = nullptr;
        if (EGifCloseFile(g, &error) != GIF_OK)
            fail(std::string("giflib: ") + GifErrorString(error));
    }
    void check(int result, const char* what) const {
        if (result != GIF_OK)
            fail(std::string("giflib: ") + what + ": " + GifErrorString(gif->Error));
    }
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;
};

void put_le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

void put_le16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put_tag(std::vector<std::uint8_t>& out, const char* tag) {
    // Byte by byte: GCC 12 at -O2 misreads a ranged insert here as an overflow.
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::vector<std::uint8_t> encode_png_rgb(const Picture& pic, const std::string& xmp) {
    static_assert(sizeof(Rgb) == 3);
    return write_png(pic.width, pic.height, PNG_COLOR_TYPE_RGB, 3,
                     reinterpret_cast<const std::uint8_t*>(pic.px.data()), &xmp);
}

std::vector<std::uint8_t> encode_png_rgba(const RgbaPicture& pic) {
    return write_png(pic.width, pic.height, PNG_COLOR_TYPE_RGBA, 4, pic.rgba.data(), nullptr);
}

std::vector<std::uint8_t> encode_gif(const Palette& palette, const std::vector<GifFrame>& frames,
                                     const std::string& xmp) {
    std::vector<std::uint8_t> out;
    GifWriter w(&out);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {palette[i].r, palette[i].g, palette[i].b};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    if (!map)
        fail("giflib: cannot make the colour map");
    EGifSetGifVersion(w.gif, true); // before the screen descriptor, or the header says 87a
    const int screen = EGifPutScreenDesc(w.gif, kWidth, kHeight, 8, 255, map);
    GifFreeMapObject(map);
    w.check(screen, "screen descriptor");

    w.check(EGifPutExtensionLeader(w.gif, APPLICATION_EXT_FUNC_CODE), "loop leader");
    w.check(EGifPutExtensionBlock(w.gif, 11, "NETSCAPE2.0"), "loop id");
    const std::uint8_t loop[3] = {1, 0, 0};
    w.check(EGifPutExtensionBlock(w.gif, 3, loop), "loop count");
    w.check(EGifPutExtensionTrailer(w.gif), "loop trailer");

    w.check(EGifPutExtensionLeader(w.gif, APPLICATION_EXT_FUNC_CODE), "xmp leader");
    w.check(EGifPutExtensionBlock(w.gif, 11, "XMP DataXMP"), "xmp id");
    // giflib writes a block's length as one byte: longer blocks would corrupt the file.
    for (std::size_t at = 0; at < xmp.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, xmp.size() - at);
        w.check(EGifPutExtensionBlock(w.gif, int(n), xmp.data() + at), "xmp data");
    }
    w.check(EGifPutExtensionTrailer(w.gif), "xmp trailer");

    std::vector<GifPixelType> line;
    for (const GifFrame& f : frames) {
        const std::uint8_t gce[4] = {0x05, std::uint8_t(f.delay & 0xFF), std::uint8_t(f.delay >> 8),
                                     255};
        w.check(EGifPutExtension(w.gif, GRAPHICS_EXT_FUNC_CODE, 4, gce), "control block");
        w.check(EGifPutImageDesc(w.gif, f.rect.left, f.rect.top, f.rect.width, f.rect.height, false,
                                 nullptr),
                "image descriptor");
        for (int y = 0; y < f.rect.height; ++y) {
            // EGifPutLine rewrites the buffer it is given, so it gets a copy.
            const auto* row = f.indices.data() + std::size_t(y) * f.rect.width;
            line.assign(row, row + f.rect.width);
            w.check(EGifPutLine(w.gif, line.data(), f.rect.width), "image line");
        }
    }
    w.close();
    return out;
}

std::vector<std::uint8_t> encode_wav(const std::vector<std::int16_t>& mono, int rate) {
    const auto frames = std::uint32_t(mono.size());
    const std::uint32_t data_bytes = frames * 4;
    constexpr std::uint32_t kPad = 8; // zero bytes after the data, inside the RIFF size
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_bytes + kPad);
    put_tag(out, "RIFF");
    put_le32(out, 4 + 24 + 8 + data_bytes + kPad);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_le32(out, 16);
    put_le16(out, 1);
    put_le16(out, 2);
    put_le32(out, std::uint32_t(rate));
    put_le32(out, std::uint32_t(rate) * 4);
    put_le16(out, 4);
    put_le16(out, 16);
    put_tag(out, "data");
    put_le32(out, data_bytes);
    for (std::int16_t s : mono) {
        put_le16(out, std::uint16_t(s));
        put_le16(out, std::uint16_t(s));
    }
    out.insert(out.end(), kPad, 0);
    return out;
}

} // namespace gen
