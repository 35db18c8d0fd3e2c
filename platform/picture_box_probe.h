#pragma once
// A look at a picture box's animation from its own thread, for the tests and the
// benchmark: the probe runs after each frame step, while the step still holds the
// composited image, so it must be quick and must not wait for the interface thread.
#include <QImage>

#include <chrono>

class PictureBox;

struct FrameStep {
    const PictureBox* box;
    int frame;                                     // 1 for the first frame of each pass
    int pass;                                      // 1 for the first pass
    std::chrono::steady_clock::time_point due;     // when the frame before it had stayed its time
    std::chrono::steady_clock::time_point started; // when this step took its time
    const QImage& composite;
};
using FrameProbe = void (*)(const FrameStep& step);

// nullptr switches it off.
void set_frame_probe(FrameProbe probe);
