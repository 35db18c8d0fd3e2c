#include "platform/clock.h"

#include <time.h>

std::uint32_t tick_count() {
    // CLOCK_BOOTTIME keeps counting through suspend, like an uptime counter should.
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}
