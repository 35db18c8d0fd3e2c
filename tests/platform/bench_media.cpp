// Prints how late the animation's frame steps come (against the moment each
// frame had stayed its time) and how long play_sound takes to return.
// Needs an X server (xvfb-run -a bench_media); a sound server is optional.
#include "media_fixtures.h"
#include "platform/picture_box_probe.h"
#include "platform/picture_box_qt.h"
#include "platform/sound.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#ifdef EGGDRAW_HAVE_ASSETS
#include "media/assets.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::mutex lateness_mutex;
std::vector<double> lateness_ms;

void record(const FrameStep& step) {
    if (step.frame == 1 && step.pass == 1)
        return; // the first step has no frame before it
    std::lock_guard lock(lateness_mutex);
    lateness_ms.push_back(
        std::chrono::duration<double, std::milli>(step.started - step.due).count());
}

void print_figures(const char* what, std::vector<double> values, const char* unit) {
    if (values.empty()) {
        std::printf("%-44s no samples\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("%-44s n=%-4zu median %8.3f %s  max %8.3f %s\n", what, values.size(),
                values[values.size() / 2], unit, values.back(), unit);
}

void run_boxes(const char* what, ByteBlock animation, int boxes, std::size_t steps, int w, int h) {
    {
        std::lock_guard lock(lateness_mutex);
        lateness_ms.clear();
    }
    std::vector<std::unique_ptr<PictureBox>> shown;
    for (int i = 0; i < boxes; ++i) {
        shown.push_back(
            std::make_unique<PictureBox>(nullptr, QColor(255, 255, 0), Placement::top_left));
        shown.back()->resize(w, h);
        shown.back()->show();
        shown.back()->set_picture(animation);
    }
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard lock(lateness_mutex);
        if (lateness_ms.size() >= steps * std::size_t(boxes) || timer.elapsed() > 20000)
            break;
    }
    shown.clear();
    std::lock_guard lock(lateness_mutex);
    print_figures(what, lateness_ms, "ms");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    set_frame_probe(record);

    // Forty 50 ms frames over a 378 x 216 screen, each repainting a band.
    std::vector<FixtureFrame> frames{solid_frame(0, 0, 378, 216, 1, 0)};
    for (int i = 0; i < 40; ++i)
        frames.push_back(solid_frame(0, (i * 5) % 200, 378, 16, std::uint8_t(2 + i % 3), 0, 255));
    const Bytes fixture =
        make_block(make_gif(378, 216, {0xFFFF00, 0xC08000, 0x404040, 0x565600, 0x808080}, frames));
    run_boxes("frame lateness, 40 x 50 ms, one box", fixture.data(), 1, 40, 378, 216);
    run_boxes("frame lateness, 40 x 50 ms, six boxes", fixture.data(), 6, 40, 378, 216);
#ifdef EGGDRAW_HAVE_ASSETS
    run_boxes("frame lateness, smash_animation pass, one box", smash_animation, 1, 9, 378, 216);
    run_boxes("frame lateness, smash_animation pass, six", smash_animation, 6, 9, 378, 216);
    const std::vector<std::uint8_t> sound(smash_sound,
                                          smash_sound + 8 + read_le32(smash_sound + 4));
#else
    const Bytes sound = make_block(
        riff({chunk("fmt ", fmt_body(1, 2, 24000, 16)), chunk("data", Bytes(96000, 0))}));
#endif
    set_frame_probe(nullptr);

    std::vector<double> returns_us;
    for (int i = 0; i < 20; ++i) {
        const auto before = Clock::now();
        play_sound(sound.data(), false);
        returns_us.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    print_figures("play_sound return time", returns_us, "us");
    const auto before = Clock::now();
    stop_all_sounds();
    std::printf("%-44s %8.3f ms\n", "stop_all_sounds with 20 playing",
                std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    return 0;
}
