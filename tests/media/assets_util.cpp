#include "tests/media/assets_util.h"

#include "media/assets.h"

#include <algorithm>
#include <png.h>

namespace media_test {

Bytes file_of(const std::uint8_t* block) {
    return {block + 8, le32(block + 4)};
}

Image decode_png(Bytes file, bool with_alpha) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Image out;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return out;
    image.format = with_alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    out.bytes.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    out.width = int(image.width);
    out.height = int(image.height);
    out.channels = with_alpha ? 4 : 3;
    return out;
}

void Box::add(int x, int y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
}

std::string to_string(const Box& b) {
    return "columns " + std::to_string(b.left) + "-" + std::to_string(b.right) + ", rows " +
           std::to_string(b.top) + "-" + std::to_string(b.bottom);
}

std::vector<Box> non_yellow_shapes(const Image& img) {
    std::vector<int> seen(std::size_t(img.width) * img.height, 0);
    std::vector<std::pair<Box, int>> shapes;
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (seen[std::size_t(y) * img.width + x] || img.at(x, y) == kYellow)
                continue;
            Box box;
            int count = 0;
            stack.push_back({x, y});
            seen[std::size_t(y) * img.width + x] = 1;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                box.add(cx, cy);
                ++count;
                const int nx[4] = {cx - 1, cx + 1, cx, cx}, ny[4] = {cy, cy, cy - 1, cy + 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= img.width || ny[k] >= img.height)
                        continue;
                    int& s = seen[std::size_t(ny[k]) * img.width + nx[k]];
                    if (!s && !(img.at(nx[k], ny[k]) == kYellow)) {
                        s = 1;
                        stack.push_back({nx[k], ny[k]});
                    }
                }
            }
            shapes.push_back({box, count});
        }
    std::sort(shapes.begin(), shapes.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<Box> boxes;
    for (auto& s : shapes)
        boxes.push_back(s.first);
    return boxes;
}

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace media_test
