#include "platform/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

void GifPass::Closer::operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
}

int GifPass::read(GifFileType* gif, std::uint8_t* into, int count) {
    auto* source = static_cast<Source*>(gif->UserData);
    if (count <= 0)
        return 0;
    const std::size_t left = source->file.size() - source->at;
    const std::size_t n = std::min(left, std::size_t(count));
    if (n > 0)
        std::memcpy(into, source->file.data() + source->at, n);
    source->at += n;
    return int(n);
}

bool has_gif_signature(std::span<const std::uint8_t> file) {
    return file.size() >= 6 && (std::memcmp(file.data(), "GIF89a", 6) == 0 ||
                                std::memcmp(file.data(), "GIF87a", 6) == 0);
}

GifPass::GifPass(std::span<const std::uint8_t> file) : source_{file, 0} {
    if (!has_gif_signature(file))
        return;
    int error = 0;
    GifFileType* gif = DGifOpen(&source_, &GifPass::read, &error);
    if (!gif)
        return;
    gif_.reset(gif);
    if (gif->SWidth <= 0 || gif->SHeight <= 0 ||
        std::uint64_t(gif->SWidth) * std::uint64_t(gif->SHeight) > max_gif_pixels)
        gif_.reset();
}

GifPass::~GifPass() = default;

int GifPass::screen_width() const {
    return gif_ ? gif_->SWidth : 0;
}
int GifPass::screen_height() const {
    return gif_ ? gif_->SHeight : 0;
}

namespace {

void fill_colours(const ColorMapObject* map, std::array<std::uint32_t, 256>& colours) {
    colours.fill(0xFF000000u);
    if (!map || !map->Colors)
        return;
    const int count = std::min(map->ColorCount, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = map->Colors[i];
        colours[std::size_t(i)] = 0xFF000000u | std::uint32_t(c.Red) << 16 |
                                  std::uint32_t(c.Green) << 8 | std::uint32_t(c.Blue);
    }
}

bool read_rows(GifFileType* gif, GifFrame& frame, bool interlaced) {
    const int width = frame.width;
    const int height = frame.height;
    auto row = [&](int y) { return frame.indices.data() + std::size_t(y) * std::size_t(width); };
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            if (DGifGetLine(gif, row(y), width) != GIF_OK)
                return false;
        return true;
    }
    static constexpr int start[4] = {0, 4, 2, 1};
    static constexpr int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            if (DGifGetLine(gif, row(y), width) != GIF_OK)
                return false;
    return true;
}

} // namespace

GifStep GifPass::next_frame(GifFrame& frame) {
    if (!gif_)
        return GifStep::error;
    GifFileType* gif = gif_.get();
    GraphicsControlBlock control{};
    control.DelayTime = 0;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return GifStep::error;
        if (record == TERMINATE_RECORD_TYPE)
            return GifStep::end;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK)
                return GifStep::error;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                DGifExtensionToGCB(block[0], block + 1, &control);
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    return GifStep::error;
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            return GifStep::error;
        if (DGifGetImageDesc(gif) != GIF_OK)
            return GifStep::error;
        const GifImageDesc& desc = gif->Image;
        if (desc.Width <= 0 || desc.Height <= 0 ||
            std::uint64_t(desc.Width) * std::uint64_t(desc.Height) > max_gif_pixels)
            return GifStep::error;
        frame.left = desc.Left;
        frame.top = desc.Top;
        frame.width = desc.Width;
        frame.height = desc.Height;
        frame.delay = control.DelayTime;
        frame.transparent = control.TransparentColor;
        fill_colours(desc.ColorMap ? desc.ColorMap : gif->SColorMap, frame.colours);
        frame.indices.assign(std::size_t(desc.Width) * std::size_t(desc.Height), 0);
        if (!read_rows(gif, frame, desc.Interlace))
            return GifStep::error;
        return GifStep::frame;
    }
}

void composite_frame(const GifFrame& frame, std::uint32_t* canvas, int width, int height,
                     std::size_t stride) {
    const int x0 = std::max(frame.left, 0);
    const int y0 = std::max(frame.top, 0);
    const int x1 = std::min(frame.left + frame.width, width);
    const int y1 = std::min(frame.top + frame.height, height);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* src = frame.indices.data() +
                                  std::size_t(y - frame.top) * std::size_t(frame.width) +
                                  std::size_t(x0 - frame.left);
        std::uint32_t* dst = canvas + std::size_t(y) * stride + std::size_t(x0);
        for (int x = x0; x < x1; ++x, ++src, ++dst)
            if (int(*src) != frame.transparent)
                *dst = frame.colours[*src];
    }
}
