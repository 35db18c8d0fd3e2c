#pragma once
// Between platform backends only: the hot-key backend raises the feedback event
// of the receiver control through the window backend, synchronously.
#include <cstdint>

void send_feedback(std::uintptr_t receiver, std::int32_t first, std::int32_t second);
