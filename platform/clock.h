#pragma once
#include <cstdint>

// Milliseconds since the system started, wrapping at 2^32.
std::uint32_t tick_count();
