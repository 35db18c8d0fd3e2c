#include "draw/pick.h"

#include "platform/clock.h"

namespace {
// Only the interface thread draws; nothing else touches these.
std::uint32_t g_seed_offset = 0;
std::uint32_t g_state = 0;
} // namespace

void generator_seed(std::uint32_t value) {
    g_state = value;
}

int generator_next() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

int random_between(int low, int high) {
    if (low == high)
        return low;
    const auto span = static_cast<std::uint32_t>(high - low) + 1u;
    return low + static_cast<int>(static_cast<std::uint32_t>(generator_next()) % span);
}

void reseed_from_tick(std::uint32_t t) {
    const std::uint32_t seed = t + g_seed_offset;
    g_seed_offset += (seed & 0xFFu) + 100u;
    generator_seed(seed);
}

void reseed_from_clock() {
    reseed_from_tick(tick_count());
}

std::uint32_t seed_offset() {
    return g_seed_offset;
}
