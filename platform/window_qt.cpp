// The window backend: forms become Qt widgets, form events become handler calls.
#include "platform/window.h"

#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/picture_box_qt.h"
#include "platform/sound.h"
#include "platform/text_codec_qt.h"
#include "platform/widgets_qt.h"
#include "platform/window_xcb.h"

#include "media/assets.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// Windows the program can reach: open, or with their destruction still queued.
std::vector<FormWindow*> live_windows;

// Nested waits hold back a quit request until the outermost one is over.
int wait_depth = 0;
bool quit_held = false;

class QuitHold : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit && wait_depth > 0) {
            quit_held = true;
            return true;
        }
        return false;
    }
};

QColor colour_of(Colour c) {
    if (c.button_face)
        return QApplication::palette().color(QPalette::Active, QPalette::Button);
    return QColor(c.rgb.r, c.rgb.g, c.rgb.b);
}

QFont font_of(const Font& f) {
    QFont font = QApplication::font();
    if (f.pixel_height > 0)
        font.setPixelSize(f.pixel_height);
    font.setWeight(QFont::Weight(std::clamp(f.weight, 1, 1000)));
    font.setUnderline(f.underline);
    return font;
}

// An empty title makes the toolkit show the program's name and window managers
// a stand-in of their own; a zero-width space shows as nothing at all.
const QChar blank_title(0x200B);

QString native_title(const QString& caption) {
    return caption.isEmpty() ? QString(blank_title) : caption;
}

QString caption_of(const QString& native) {
    return native == blank_title ? QString() : native;
}

FormWindow* find_window(const WindowForm* form) {
    for (FormWindow* w : live_windows)
        if (&w->form == form && !w->gone)
            return w;
    return nullptr;
}

int find_control_index(const WindowForm& form, std::string_view name) {
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (form.controls[i].name == name)
            return int(i);
    return -1;
}

// The control's widget together with its form, or nulls.
struct Found {
    FormWindow* window = nullptr;
    QWidget* widget = nullptr;
    const ControlForm* form = nullptr;
};

Found find_control(ControlRef ref) {
    FormWindow* w = ref.window ? find_window(ref.window) : nullptr;
    if (!w)
        return {};
    if (ref.name.empty())
        return {w, w, nullptr};
    const int i = find_control_index(w->form, ref.name);
    if (i < 0)
        return {w, nullptr, nullptr};
    return {w, w->controls[std::size_t(i)], &w->form.controls[std::size_t(i)]};
}

void run_bindings(FormWindow* w, std::string_view control, EventKind kind, EventArgs args) {
    // The form is constant data: handlers that destroy windows cannot disturb it.
    const WindowForm& form = w->form;
    for (const Binding& b : form.bindings) {
        if (b.control != control || b.event != kind || !b.handler)
            continue;
        args.bound = b.bound;
        b.handler(args);
    }
}

void destroy_now(FormWindow* w) {
    if (w->gone)
        return;
    run_bindings(w, {}, EventKind::destroying, {});
    w->gone = true;
    live_windows.erase(std::remove(live_windows.begin(), live_windows.end(), w),
                       live_windows.end());
    w->hide();
    // The widget may be further up the stack (its own close event, say); the
    // toolkit frees it once that has unwound.
    w->deleteLater();
}

QWidget* build_control(FormWindow* window, const ControlForm& c, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (c.kind) {
    case ControlKind::picture_box:
        widget = new PictureBox(parent, colour_of(c.background), c.placement);
        break;
    case ControlKind::transparent_label:
        widget = new TransparentLabel(parent, c);
        break;
    case ControlKind::label: {
        auto* label = new QLabel(qstring_from_literal(c.text), parent);
        label->setTextFormat(Qt::PlainText);
        widget = label;
        break;
    }
    case ControlKind::button: {
        auto* button = new QPushButton(qstring_from_literal(c.text), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        const std::string_view name = c.name;
        QObject::connect(button, &QPushButton::clicked, window, [window, name] {
            if (!window->gone)
                run_bindings(window, name, EventKind::clicked, {});
        });
        widget = button;
        break;
    }
    case ControlKind::edit_box:
        widget = new EditBox(parent, colour_of(c.background));
        break;
    }
    if (!widget)
        return nullptr;
    if (c.kind != ControlKind::picture_box && c.kind != ControlKind::edit_box)
        widget->setFont(font_of(c.font));
    widget->setGeometry(c.left, c.top, c.width, c.height);
    widget->setFocusPolicy(c.tab_stop ? Qt::StrongFocus : Qt::NoFocus);
    if (c.pointer == Pointer::hand)
        widget->setCursor(Qt::PointingHandCursor);
    widget->installEventFilter(window);
    return widget;
}

// Children before parents may come in any order in a form: build a parent first.
QWidget* build_with_parent(FormWindow* window, std::size_t i, int depth) {
    if (window->controls[i])
        return window->controls[i];
    const ControlForm& c = window->form.controls[i];
    QWidget* parent = window;
    if (!c.parent.empty()) {
        const int p = find_control_index(window->form, c.parent);
        if (p < 0 || depth > int(window->form.controls.size()))
            return nullptr;
        parent = build_with_parent(window, std::size_t(p), depth + 1);
        if (!parent)
            return nullptr;
    }
    window->controls[i] = build_control(window, c, parent);
    return window->controls[i];
}

FormWindow* build_window(const WindowForm& form) {
    auto* w = new FormWindow(form);
    w->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                      Qt::WindowCloseButtonHint);
    w->setWindowTitle(native_title(qstring_from_literal(form.caption)));
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour_of(form.background));
    w->setPalette(p);
    w->setAutoFillBackground(true);
    w->installEventFilter(w);

    w->controls.assign(form.controls.size(), nullptr);
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        if (!build_with_parent(w, i, 0)) {
            delete w;
            return nullptr;
        }
    }
    // Earlier in the form lies higher among the same parent's children.
    for (auto it = w->controls.rbegin(); it != w->controls.rend(); ++it)
        (*it)->raise();
    // Tab visits the form from its last control to its first.
    for (std::size_t i = form.controls.size(); i-- > 0;)
        if (form.controls[i].tab_stop)
            w->focus_cycle.push_back(w->controls[i]);
    return w;
}

// The outer size is the form's, frame included, centred on the screen with
// the remainder dropped; the client area is placed so that nothing moves or
// resizes once the window manager has framed it.
void place_window(FormWindow* w) {
    // A fixed size before the native window exists: the window manager then
    // answers with the frame of a window that cannot be resized (no handle).
    w->setFixedSize(w->form.outer_width, w->form.outer_height);
    const auto native = std::uintptr_t(w->winId());
    const FrameExtents frame = frame_extents_before_map(native);
    const int client_w = std::max(1, w->form.outer_width - frame.left - frame.right);
    const int client_h = std::max(1, w->form.outer_height - frame.top - frame.bottom);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    const int outer_x = area.x() + (area.width() - w->form.outer_width) / 2;
    const int outer_y = area.y() + (area.height() - w->form.outer_height) / 2;
    w->setFixedSize(client_w, client_h);
    w->setGeometry(outer_x + frame.left, outer_y + frame.top, client_w, client_h);
}

std::string form_problem(const WindowForm& form) {
    if (form.outer_width <= 0 || form.outer_height <= 0)
        return "size";
    std::set<std::string_view> names;
    for (const ControlForm& c : form.controls) {
        if (c.name.empty() || !names.insert(c.name).second)
            return "control name";
        if (c.width <= 0 || c.height <= 0)
            return "control size";
    }
    for (const ControlForm& c : form.controls) {
        if (c.parent.empty())
            continue;
        // A parent must be a picture box, and following parents must end at the window.
        const ControlForm* at = &c;
        for (std::size_t steps = 0; !at->parent.empty(); ++steps) {
            const int p = find_control_index(form, at->parent);
            if (p < 0 || steps > form.controls.size())
                return "parent";
            at = &form.controls[std::size_t(p)];
            if (at->kind != ControlKind::picture_box)
                return "parent";
        }
    }
    for (const Binding& b : form.bindings) {
        if (!b.handler)
            return "binding";
        if (b.control.empty()) {
            if (b.event != EventKind::created && b.event != EventKind::destroying)
                return "binding";
            continue;
        }
        const int i = find_control_index(form, b.control);
        if (i < 0)
            return "binding";
        const ControlKind kind = form.controls[std::size_t(i)].kind;
        const bool fits = (b.event == EventKind::left_press && kind != ControlKind::button &&
                           kind != ControlKind::edit_box) ||
                          (b.event == EventKind::clicked && kind == ControlKind::button) ||
                          (b.event == EventKind::feedback && kind == ControlKind::label);
        if (!fits)
            return "binding";
    }
    return {};
}

void set_program_icon() {
    const auto bytes = block_bytes(program_icon);
    QImage image;
    if (image.loadFromData(bytes.data(), int(bytes.size()), "PNG"))
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image)));
}

} // namespace

void window_close_requested(FormWindow* window) {
    destroy_now(window);
}

void control_left_pressed(FormWindow* window, int control_index) {
    run_bindings(window, window->form.controls[std::size_t(control_index)].name,
                 EventKind::left_press, {});
}

bool platform_init(std::span<const WindowForm* const> forms) {
    if (!qApp) {
        // The program takes no command line; the toolkit gets a fixed one.
        static int argc = 1;
        static char name[] = "eggdraw";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        qApp->installEventFilter(new QuitHold(qApp));
        set_program_icon();
    }
    for (const WindowForm* form : forms)
        if (!form || !form_problem(*form).empty())
            return false;
    return true;
}

bool open_window(const WindowForm& form) {
    if (FormWindow* w = find_window(&form)) {
        if (!w->destruction_pending) {
            if (w->isMinimized())
                w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            w->show();
            w->raise();
            w->activateWindow();
            return true;
        }
        destroy_now(w);
    }
    FormWindow* w = build_window(form);
    if (!w)
        return false;
    live_windows.push_back(w);
    place_window(w);
    // At the first activation the focus goes to the first control Tab visits.
    if (!w->focus_cycle.empty())
        w->focus_cycle.front()->setFocus(Qt::OtherFocusReason);
    run_bindings(w, {}, EventKind::created, {});
    if (!w->gone)
        w->show();
    return true;
}

void destroy_window(const WindowForm& form) {
    FormWindow* w = find_window(&form);
    if (!w || w->destruction_pending)
        return;
    w->destruction_pending = true;
    // A queued call, unlike a deferred delete, is also taken by a nested wait.
    QMetaObject::invokeMethod(
        qApp,
        [target = QPointer<FormWindow>(w)] {
            if (target && !target->gone)
                destroy_now(target);
        },
        Qt::QueuedConnection);
}

void run_event_loop() {
    QApplication::exec();
}

void wait_handling_events(int ms) {
    if (ms <= 0)
        return;
    const std::uint32_t end = tick_count() + std::uint32_t(ms);
    ++wait_depth;
    bool handling = true;
    for (;;) {
        const auto left = std::int32_t(end - tick_count());
        if (left <= 0)
            break;
        if (!handling || quit_held) {
            // A quit request is waiting its turn: no more events, only the time.
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
            continue;
        }
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        bool timed_out = false;
        QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
            timed_out = true;
            loop.quit();
        });
        deadline.start(left);
        loop.exec();
        // Anything else that ends the loop is the application being told to exit.
        if (!timed_out)
            handling = false;
    }
    if (--wait_depth == 0 && quit_held) {
        quit_held = false;
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
    }
}

void end_program(int exit_code) {
    stop_all_sounds();
    std::fflush(nullptr);
    // No destructor and no handler runs any more: windows vanish with the process.
    ::_exit(exit_code);
}

void fatal_error(std::string_view message, std::string_view window_name) {
    const std::string text = std::string("运行时出错!\r\n\r\n错误信息：") + std::string(message) +
                             "\r\n窗口：" + std::string(window_name);
    if (qApp) {
        QMessageBox box(QMessageBox::Critical, qstring_from_literal("错误"),
                        qstring_from_literal(text), QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    end_program(-1);
}

void show_message(std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::NoIcon, qstring_from_literal(caption), qstring_from_literal(text),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

Text get_text(ControlRef control) {
    const Found f = find_control(control);
    if (!f.widget)
        return {};
    if (!f.form)
        return text_from_qstring(caption_of(f.window->windowTitle()));
    switch (f.form->kind) {
    case ControlKind::edit_box:
        return text_from_qstring(static_cast<EditBox*>(f.widget)->toPlainText());
    case ControlKind::transparent_label:
        return text_from_qstring(static_cast<TransparentLabel*>(f.widget)->text());
    case ControlKind::label:
        return text_from_qstring(static_cast<QLabel*>(f.widget)->text());
    case ControlKind::button:
        return text_from_qstring(static_cast<QPushButton*>(f.widget)->text());
    case ControlKind::picture_box:
        break;
    }
    return {};
}

void set_text(ControlRef control, const Text& text) {
    const Found f = find_control(control);
    if (!f.widget)
        return;
    const QString s = qstring_from_text(text);
    if (!f.form) {
        f.window->setWindowTitle(native_title(s));
        return;
    }
    switch (f.form->kind) {
    case ControlKind::edit_box:
        static_cast<EditBox*>(f.widget)->setPlainText(s);
        break;
    case ControlKind::transparent_label:
        static_cast<TransparentLabel*>(f.widget)->set_text(s);
        break;
    case ControlKind::label:
        static_cast<QLabel*>(f.widget)->setText(s);
        break;
    case ControlKind::button:
        static_cast<QPushButton*>(f.widget)->setText(s);
        break;
    case ControlKind::picture_box:
        break;
    }
}

void set_picture(ControlRef control, ByteBlock block) {
    const Found f = find_control(control);
    if (f.form && f.form->kind == ControlKind::picture_box && block)
        static_cast<PictureBox*>(f.widget)->set_picture(block);
}

void set_visible(ControlRef control, bool visible) {
    const Found f = find_control(control);
    if (f.form)
        f.widget->setVisible(visible);
}

std::uintptr_t window_handle(ControlRef control) {
    const Found f = find_control(control);
    if (!f.widget)
        return 0;
    // The window's handle is its native one, which the hot-key backend can use;
    // a control's is the widget's address, which only send_feedback resolves.
    if (!f.form)
        return std::uintptr_t(f.window->winId());
    return reinterpret_cast<std::uintptr_t>(f.widget);
}

void send_feedback(std::uintptr_t receiver, std::int32_t first, std::int32_t second) {
    for (FormWindow* w : std::vector<FormWindow*>(live_windows)) {
        if (w->gone)
            continue;
        for (std::size_t i = 0; i < w->controls.size(); ++i) {
            if (reinterpret_cast<std::uintptr_t>(w->controls[i]) != receiver)
                continue;
            if (w->form.controls[i].kind == ControlKind::label)
                run_bindings(w, w->form.controls[i].name, EventKind::feedback, {0, first, second});
            return;
        }
    }
}
