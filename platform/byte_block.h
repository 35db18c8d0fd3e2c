#pragma once
// An embedded asset as the program holds it: a 32-bit little-endian 1, a 32-bit
// little-endian length N, then the N bytes of the file. Blocks live in read-only
// data for the whole run, so a ByteBlock is only ever a pointer to its start.
#include <cstdint>
#include <span>

using ByteBlock = const std::uint8_t*;

inline std::uint32_t read_le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// The file held in a block (its N bytes).
inline std::span<const std::uint8_t> block_bytes(ByteBlock block) {
    return {block + 8, read_le32(block + 4)};
}
