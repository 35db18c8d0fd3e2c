#include "platform/wav.h"

#include <cstring>

namespace {

std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Servers take at most this many channels and this rate.
constexpr std::uint16_t max_channels = 32;
constexpr std::uint32_t max_rate = 384000;

bool read_format(const std::uint8_t* fmt, std::uint32_t size, WavInfo& info) {
    // A fmt chunk shorter than the 16 bytes of the PCM fields has no bit depth.
    if (size < 16)
        return false;
    std::uint16_t tag = le16(fmt);
    std::uint16_t channels = le16(fmt + 2);
    std::uint32_t rate = le32(fmt + 4);
    std::uint16_t bits = le16(fmt + 14);
    if (tag == 0xFFFE) {
        // The extensible form names its real format in the first two bytes of its GUID.
        if (size < 40 || le16(fmt + 16) < 22)
            return false;
        tag = le16(fmt + 24);
    }
    if (tag == 1) {
        switch (bits) {
        case 8:
            info.format = SampleFormat::u8;
            break;
        case 16:
            info.format = SampleFormat::s16le;
            break;
        case 24:
            info.format = SampleFormat::s24le;
            break;
        case 32:
            info.format = SampleFormat::s32le;
            break;
        default:
            return false;
        }
    } else if (tag == 3 && bits == 32) {
        info.format = SampleFormat::f32le;
    } else {
        return false;
    }
    if (channels == 0 || channels > max_channels || rate == 0 || rate > max_rate)
        return false;
    info.channels = channels;
    info.rate = rate;
    info.frame_bytes = std::uint32_t(channels) * (bits / 8u);
    return true;
}

} // namespace

bool parse_wav(std::span<const std::uint8_t> file, WavInfo& info) {
    const std::uint8_t* bytes = file.data();
    const std::uint64_t length = file.size();
    if (length < 36 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    const std::uint64_t riff_end = 8 + std::uint64_t(le32(bytes + 4));

    const std::uint8_t* fmt = nullptr;
    std::uint32_t fmt_size = 0;
    const std::uint8_t* data = nullptr;
    std::uint32_t data_size = 0;
    std::uint64_t at = 12;
    while (at < riff_end && !(fmt && data)) {
        if (at + 8 > length)
            return false; // a chunk header cut off by the end of the file
        const std::uint8_t* chunk = bytes + at;
        const std::uint32_t size = le32(chunk + 4);
        if (at + 8 + size > length)
            return false; // the chunk claims bytes the file does not have
        if (!fmt && std::memcmp(chunk, "fmt ", 4) == 0) {
            fmt = chunk + 8;
            fmt_size = size;
        } else if (!data && std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            data_size = size;
        }
        at += 8 + std::uint64_t(size);
    }
    if (!fmt || !data || data_size == 0)
        return false;
    WavInfo parsed;
    if (!read_format(fmt, fmt_size, parsed))
        return false;
    const std::uint32_t whole = data_size - data_size % parsed.frame_bytes;
    if (whole == 0)
        return false;
    parsed.samples = {data, whole};
    info = parsed;
    return true;
}
