#pragma once
// The few things about a top-level window that only the X server can do.
#include <cstdint>

struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Asks the window manager what frame it will put around the native window
// x_window, which is created but not yet mapped, and waits briefly for the
// answer. No window manager, no X display, or no answer in time: all zero.
FrameExtents frame_extents_before_map(std::uintptr_t x_window);
