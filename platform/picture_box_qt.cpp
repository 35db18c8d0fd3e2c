#include "platform/picture_box_qt.h"
#include "platform/gif_decoder.h"
#include "platform/picture_box_probe.h"
#include "platform/png_decode.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <span>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<FrameProbe> frame_probe{nullptr};

QImage to_image(const DecodedPicture& picture) {
    const QImage::Format format = picture.alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const qsizetype stride = qsizetype(picture.width) * (picture.alpha ? 4 : 3);
    QImage wrapped(picture.pixels.data(), picture.width, picture.height, stride, format);
    // Painting from a 32-bit image is the fast path, and the copy owns its pixels.
    return wrapped.convertToFormat(picture.alpha ? QImage::Format_ARGB32_Premultiplied
                                                 : QImage::Format_RGB32);
}

void draw_placed(QPainter& painter, const QImage& image, QSize box, Placement placement) {
    if (placement == Placement::top_left) {
        painter.drawImage(0, 0, image);
        return;
    }
    QSize size = image.size();
    if (size.width() > box.width() || size.height() > box.height())
        size.scale(box, Qt::KeepAspectRatio);
    const QRect target(QPoint((box.width() - size.width()) / 2, (box.height() - size.height()) / 2),
                       size);
    if (target.size() == image.size()) {
        painter.drawImage(target.topLeft(), image);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image);
    }
}

} // namespace

void set_frame_probe(FrameProbe probe) {
    frame_probe.store(probe);
}

struct PictureBox::State {
    QColor background;
    Placement placement;

    // Interface thread only.
    QImage still;
    std::span<const std::uint8_t> animation; // the block's file, kept for every pass
    bool pending = false;                    // set, starts at the next repaint
    std::thread worker;

    // Shared with the animation's thread, under mutex.
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool has_frame = false;
    bool no_frames = false; // the animation ended without a single frame
    QImage composite;
};

PictureBox::PictureBox(QWidget* parent, QColor background, Placement placement)
    : QWidget(parent), state_(std::make_unique<State>()) {
    state_->background = background;
    state_->placement = placement;
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() {
    stop_animation();
}

void PictureBox::stop_animation() {
    State& s = *state_;
    if (s.worker.joinable()) {
        {
            std::lock_guard lock(s.mutex);
            s.stopping = true;
        }
        s.wake.notify_all();
        s.worker.join();
    }
    std::lock_guard lock(s.mutex);
    s.stopping = false;
    s.has_frame = false;
    s.no_frames = false;
    s.composite = QImage();
}

void PictureBox::set_picture(ByteBlock block) {
    State& s = *state_;
    stop_animation();
    s.pending = false;
    s.animation = {};
    const std::span<const std::uint8_t> file =
        block ? block_bytes(block) : std::span<const std::uint8_t>{};
    if (has_gif_signature(file)) {
        // The still picture stays on screen until the first frame replaces it,
        // so the box never flashes its background between the two.
        if (GifPass(file).ok()) {
            s.animation = file;
            s.pending = true;
        } else {
            s.still = QImage();
        }
    } else {
        DecodedPicture picture;
        s.still = decode_png(file, picture) ? to_image(picture) : QImage();
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    State& s = *state_;
    if (s.pending) {
        s.pending = false;
        s.worker = std::thread(animate, this, &s);
    }
    QPainter painter(this);
    painter.fillRect(rect(), s.background);
    std::lock_guard lock(s.mutex);
    if (s.has_frame) {
        if (!s.still.isNull())
            s.still = QImage();
        draw_placed(painter, s.composite, size(), s.placement);
    } else if (s.no_frames) {
        s.still = QImage();
    } else if (!s.still.isNull()) {
        draw_placed(painter, s.still, size(), s.placement);
    }
}

// The animation's own thread. Each step takes its time before decoding, so the
// decoding counts into the frame's stay; it then sleeps to the exact moment the
// frame has stayed its time, or until it is told to stop.
void PictureBox::animate(PictureBox* box, State* state) {
    State& s = *state;
    GifFrame frame;
    Clock::time_point due = Clock::now();
    for (int pass = 1;; ++pass) {
        GifPass reader(s.animation);
        if (!reader.ok())
            return;
        if (pass == 1) {
            QImage canvas(reader.screen_width(), reader.screen_height(), QImage::Format_RGB32);
            canvas.fill(s.background);
            std::lock_guard lock(s.mutex);
            s.composite = std::move(canvas);
        }
        int shown = 0;
        for (int number = 1;; ++number) {
            const Clock::time_point started = Clock::now();
            if (reader.next_frame(frame) != GifStep::frame)
                break;
            {
                std::lock_guard lock(s.mutex);
                if (s.stopping)
                    return;
                QImage& canvas = s.composite;
                composite_frame(frame, reinterpret_cast<std::uint32_t*>(canvas.bits()),
                                canvas.width(), canvas.height(),
                                std::size_t(canvas.bytesPerLine() / 4));
                s.has_frame = true;
                if (FrameProbe probe = frame_probe.load())
                    probe(FrameStep{box, number, pass, due, started, canvas});
            }
            // Only the interface thread paints; it shows the composite at its next turn.
            QMetaObject::invokeMethod(
                box, [box] { box->update(); }, Qt::QueuedConnection);
            ++shown;
            due = started + std::chrono::milliseconds(frame_time_ms(frame.delay));
            std::unique_lock lock(s.mutex);
            if (s.wake.wait_until(lock, due, [&] { return s.stopping; }))
                return;
        }
        if (shown == 0) {
            // A file with no readable frame would otherwise spin; a first pass
            // without one leaves the box to its background.
            if (pass == 1) {
                std::lock_guard lock(s.mutex);
                s.no_frames = true;
                QMetaObject::invokeMethod(
                    box, [box] { box->update(); }, Qt::QueuedConnection);
            }
            return;
        }
    }
}
