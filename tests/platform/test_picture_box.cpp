// The picture box on a real X server: still pictures by placement, and the
// animation's own schedule, watched through the frame probe.
#include "media_fixtures.h"
#include "platform/picture_box_probe.h"
#include "platform/picture_box_qt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#ifdef EGGDRAW_HAVE_ASSETS
#include "media/assets.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Seen {
    const PictureBox* box;
    int frame;
    int pass;
    Clock::time_point due;
    Clock::time_point started;
    QImage composite;
};

std::mutex seen_mutex;
std::vector<Seen> seen;
bool keep_composites = false;

void record_step(const FrameStep& step) {
    std::lock_guard lock(seen_mutex);
    seen.push_back({step.box, step.frame, step.pass, step.due, step.started,
                    keep_composites ? step.composite.copy() : QImage()});
}

std::vector<Seen> steps_of(const PictureBox* box) {
    std::lock_guard lock(seen_mutex);
    std::vector<Seen> out;
    for (const Seen& s : seen)
        if (s.box == box)
            out.push_back(s);
    return out;
}

// Handles events until the box has taken n steps; false after the timeout.
bool wait_for_steps(const PictureBox* box, std::size_t n, int timeout_ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (steps_of(box).size() < n) {
        if (timer.elapsed() > timeout_ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

void handle_events_for(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(milliseconds(1));
    }
}

double ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// The fixture animation keeps the real one's course: ten frames, delays
// 0 20 20 10 0 0 0 0 0 24000, frame 4 restores what frames 2 and 3 changed,
// frame 10 finishes a "crack" in colour 3.
constexpr int W = 60, H = 40;
const std::vector<std::uint32_t> colours = {0xFFFF00, 0xC08000, 0x404040, 0x565600, 0xFFFFFF};
constexpr std::uint8_t egg = 1, hammer = 2, crack = 3, clear = 4;

const Bytes& course_gif() {
    static const Bytes block = [] {
        std::vector<FixtureFrame> frames;
        frames.push_back(solid_frame(0, 0, W, H, egg, 0));
        frames.push_back(solid_frame(40, 0, 20, 10, hammer, 20, clear));
        frames.push_back(solid_frame(30, 5, 10, 10, hammer, 20, clear));
        FixtureFrame restore = solid_frame(30, 0, 30, 15, egg, 10, clear);
        frames.push_back(restore);
        for (int i = 0; i < 6; ++i)
            frames.push_back(solid_frame(28, 5 + 5 * i, 4, 5, crack, i == 5 ? 24000 : 0, clear));
        return make_block(make_gif(W, H, colours, frames));
    }();
    return block;
}

std::uint32_t flat_blue(int, int) {
    return 0xFF0000FFu;
}

const Bytes& blue_png() {
    static const Bytes block = make_block(make_png(W, H, false, flat_blue));
    return block;
}

const QColor background(10, 200, 30);
const double moments[10] = {0, 50, 250, 450, 550, 600, 650, 700, 750, 800};

// Each moment may come a little late, never early. On an idle machine a step
// is about a millisecond late; the slack here is for a loaded CI box.
constexpr double slack_ms = 40;

void expect_course(const std::vector<Seen>& steps, const char* how) {
    ASSERT_GE(steps.size(), 10u) << how;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(steps[std::size_t(i)].frame, i + 1) << how;
        const double at = ms_between(steps[0].started, steps[std::size_t(i)].started);
        EXPECT_GE(at, moments[i] - 0.5) << how << ": frame " << i + 1;
        EXPECT_LE(at, moments[i] + slack_ms) << how << ": frame " << i + 1;
    }
    // The frames with a stored delay of 0 stay 50 ms, the one with 10 stays 100.
    for (int i : {4, 5, 6, 7, 8}) {
        const double stay =
            ms_between(steps[std::size_t(i)].started, steps[std::size_t(i + 1)].started);
        EXPECT_GE(stay, 49.5) << how << ": frame " << i + 1;
        EXPECT_LE(stay, 50 + slack_ms) << how << ": frame " << i + 1;
    }
    const double stay4 = ms_between(steps[3].started, steps[4].started);
    EXPECT_GE(stay4, 99.5) << how;
    EXPECT_LE(stay4, 100 + slack_ms) << how;
}

class PictureBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        set_frame_probe(record_step);
        std::lock_guard lock(seen_mutex);
        seen.clear();
        keep_composites = false;
    }
    void TearDown() override {
        boxes.clear();
        set_frame_probe(nullptr);
    }
    PictureBox* make_box(Placement placement = Placement::top_left, int w = W, int h = H) {
        auto box = std::make_unique<PictureBox>(nullptr, background, placement);
        box->resize(w, h);
        box->show();
        boxes.push_back(std::move(box));
        return boxes.back().get();
    }
    std::vector<std::unique_ptr<PictureBox>> boxes;
};

QRgb pixel_of(QWidget* w, int x, int y) {
    return w->grab().toImage().pixel(x, y) & 0xFFFFFFu;
}

TEST_F(PictureBoxTest, FramesComeAtTheirMoments) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 10));
    expect_course(steps_of(box), "events handled");
}

TEST_F(PictureBoxTest, TimingHoldsWhileTheInterfaceThreadIsBusy) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 1));
    const auto until = Clock::now() + milliseconds(900);
    while (Clock::now() < until) {
        // a handler that does not come back to the event loop
    }
    expect_course(steps_of(box), "busy loop");
}

TEST_F(PictureBoxTest, TimingHoldsInsideANestedEventLoop) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 1));
    QEventLoop nested;
    QTimer::singleShot(900, &nested, &QEventLoop::quit);
    nested.exec();
    expect_course(steps_of(box), "nested loop");
}

TEST_F(PictureBoxTest, CompositeAccumulatesFrames) {
    keep_composites = true;
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 10));
    const std::vector<Seen> steps = steps_of(box);
    EXPECT_EQ(steps[1].composite.pixel(50, 5) & 0xFFFFFFu, 0x404040u) << "hammer lifted";
    EXPECT_EQ(steps[3].composite, steps[0].composite) << "frame 4 restores frame 1";
    const QImage& last = steps[9].composite;
    for (int y = 5; y < 35; ++y)
        EXPECT_EQ(last.pixel(29, y) & 0xFFFFFFu, 0x565600u) << "crack row " << y;
    EXPECT_EQ(last.pixel(5, 5) & 0xFFFFFFu, 0xC08000u) << "transparent pixels keep the egg";
}

TEST_F(PictureBoxTest, RepaintDuringTheLastFrameShowsTheFinishedPicture) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 10));
    box->repaint();
    EXPECT_EQ(pixel_of(box, 29, 30), 0x565600u);
    EXPECT_EQ(pixel_of(box, 5, 5), 0xC08000u);
}

TEST_F(PictureBoxTest, SettingTheAnimationAgainRestartsAtFrameOne) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 6));
    box->set_picture(course_gif().data());
    const std::size_t before = steps_of(box).size();
    ASSERT_TRUE(wait_for_steps(box, before + 3));
    const std::vector<Seen> steps = steps_of(box);
    EXPECT_EQ(steps[before].frame, 1);
    EXPECT_EQ(steps[before].pass, 1);
    EXPECT_EQ(steps[before + 1].frame, 2);
    EXPECT_EQ(pixel_of(box, 29, 30), 0xC08000u) << "a fresh composite has no crack";
}

TEST_F(PictureBoxTest, AStillPictureStopsTheAnimationForGood) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 2));
    box->set_picture(blue_png().data());
    const std::size_t after = steps_of(box).size();
    handle_events_for(700); // frames 3 to 10 would all have come in this time
    EXPECT_EQ(steps_of(box).size(), after);
    EXPECT_EQ(pixel_of(box, 29, 30), 0x0000FFu);
}

TEST_F(PictureBoxTest, HiddenBoxGoesOnAnimating) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 1));
    box->hide();
    ASSERT_TRUE(wait_for_steps(box, 10));
    expect_course(steps_of(box), "hidden");
}

TEST_F(PictureBoxTest, SixBoxesKeepTheirOwnSchedules) {
    std::vector<PictureBox*> six;
    for (int i = 0; i < 6; ++i) {
        six.push_back(make_box());
        six.back()->set_picture(course_gif().data());
    }
    for (PictureBox* box : six)
        ASSERT_TRUE(wait_for_steps(box, 10));
    for (PictureBox* box : six)
        expect_course(steps_of(box), "one of six");
}

TEST_F(PictureBoxTest, DestroyingTheBoxStopsItsAnimation) {
    PictureBox* box = make_box();
    box->set_picture(course_gif().data());
    ASSERT_TRUE(wait_for_steps(box, 3));
    boxes.clear();
    std::size_t total;
    {
        std::lock_guard lock(seen_mutex);
        total = seen.size();
    }
    handle_events_for(300);
    std::lock_guard lock(seen_mutex);
    EXPECT_EQ(seen.size(), total);
}

TEST_F(PictureBoxTest, TheAnimationWaitsForTheFirstRepaint) {
    auto box = std::make_unique<PictureBox>(nullptr, background, Placement::top_left);
    box->resize(W, H); // never shown, so never repainted
    box->set_picture(course_gif().data());
    handle_events_for(200);
    EXPECT_TRUE(steps_of(box.get()).empty());
    box->grab(); // a repaint
    EXPECT_TRUE(wait_for_steps(box.get(), 1));
}

TEST_F(PictureBoxTest, UnreadablePicturesLeaveTheBackground) {
    const Bytes gif = make_gif(W, H, colours, {solid_frame(0, 0, W, H, egg, 0)});
    const Bytes png = make_png(W, H, false, flat_blue);
    struct Row {
        const char* name;
        Bytes file;
    } rows[] = {
        {"empty", {}},
        {"neither PNG nor GIF", Bytes(64, 0x42)},
        {"PNG cut in half", Bytes(png.begin(), png.begin() + std::ptrdiff_t(png.size() / 2))},
        {"GIF screen cut off", Bytes(gif.begin(), gif.begin() + 12)},
        {"GIF without frames", Bytes(gif.begin(), gif.begin() + 13 + 768) + Bytes{0x3B}},
    };
    const QRgb bg = background.rgb() & 0xFFFFFFu;
    for (const Row& row : rows) {
        PictureBox* box = make_box();
        box->set_picture(blue_png().data());
        const Bytes block = make_block(row.file);
        box->set_picture(block.data());
        box->repaint();
        handle_events_for(80);
        EXPECT_EQ(pixel_of(box, 10, 10), bg) << row.name;
        boxes.clear();
    }
}

std::uint32_t corner_red(int x, int y) {
    return x < 2 && y < 2 ? 0xFFFF0000u : 0xFF0000FFu;
}

TEST_F(PictureBoxTest, StillPicturesArePlacedByTheBoxSetting) {
    // A 20 x 10 picture, red in its top-left 2 x 2 corner, in boxes of various sizes.
    const Bytes block = make_block(make_png(20, 10, false, corner_red));
    const Bytes big = make_block(make_png(80, 20, false, corner_red));
    struct Row {
        const char* name;
        Placement placement;
        const Bytes* picture;
        int box_w, box_h;
        QPoint red, blue, bg;
    } rows[] = {
        {"top-left at own size", Placement::top_left, &block, 60, 40, {0, 0}, {19, 9}, {20, 10}},
        {"centred at own size", Placement::centred, &block, 60, 40, {20, 15}, {39, 24}, {19, 14}},
        {"centred, shrunk to the width",
         Placement::centred,
         &big,
         40,
         40,
         {0, 15},
         {39, 24},
         {5, 14}},
        {"top-left, cut at the box", Placement::top_left, &big, 40, 40, {0, 0}, {39, 19}, {5, 21}},
    };
    const QRgb bg = background.rgb() & 0xFFFFFFu;
    for (const Row& row : rows) {
        PictureBox* box = make_box(row.placement, row.box_w, row.box_h);
        box->set_picture(row.picture->data());
        const QImage shot = box->grab().toImage();
        EXPECT_EQ(shot.pixel(row.red) & 0xFFFFFFu, 0xFF0000u) << row.name;
        EXPECT_EQ(shot.pixel(row.blue) & 0xFFFFFFu, 0x0000FFu) << row.name;
        EXPECT_EQ(shot.pixel(row.bg) & 0xFFFFFFu, bg) << row.name;
        boxes.clear();
    }
}

#ifdef EGGDRAW_HAVE_ASSETS
// The program's own pictures: the course of smash_animation and its ending.
TEST_F(PictureBoxTest, SmashAnimationRunsItsCourse) {
    keep_composites = true;
    PictureBox* box = make_box(Placement::top_left, 378, 216);
    box->set_picture(cover_image);
    box->set_picture(smash_animation);
    ASSERT_TRUE(wait_for_steps(box, 10));
    const std::vector<Seen> steps = steps_of(box);
    expect_course(steps, "smash_animation");
    EXPECT_EQ(steps[3].composite, steps[0].composite) << "frame 4 equals frame 1";
    box->repaint();
    const QImage shot = box->grab().toImage();
    EXPECT_EQ(shot, steps[9].composite.convertToFormat(shot.format())) << "repaint in frame 10";
    // The crack's top is dark olive in the finished picture.
    int olive = 0;
    for (int y = 49; y < 214; ++y)
        for (int x = 176; x < 201; ++x) {
            const QColor c = shot.pixelColor(x, y);
            olive += c.red() < 130 && c.green() < 130 && c.blue() < 40;
        }
    EXPECT_GT(olive, 150) << "the crack runs down the egg";
    box->set_picture(cover_image);
    const std::size_t after = steps_of(box).size();
    handle_events_for(200);
    EXPECT_EQ(steps_of(box).size(), after);
}
#endif

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
