#pragma once
// Windows built from forms, and the operations the program's handlers use on them.
//
// A form is plain data compiled into the program (board/board_form.cpp,
// preset/preset_form.cpp). The platform builds the toolkit's widgets from it;
// the program only ever reaches a control through (window form, control name)
// and touches nothing but its text, picture and visibility.
#include "platform/byte_block.h"
#include "platform/text.h"

#include <cstdint>
#include <span>
#include <string_view>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A colour of a form: a fixed one, or the desktop's button-face colour.
struct Colour {
    bool button_face = false;
    Rgb rgb{};
};
inline constexpr Colour rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return {false, {r, g, b}};
}
inline constexpr Colour button_face{true, {}};

enum class ControlKind { picture_box, transparent_label, label, button, edit_box };
enum class HAlign { left, centre, right };
enum class VAlign { top, middle, bottom };
// How a picture box places its picture: at its own size from the top-left
// corner, or centred (shrunk in proportion when larger than the box).
enum class Placement { top_left = 0, centred = 2 };
enum class Pointer { arrow, hand };

struct Font {
    int pixel_height = 0; // character height in pixels; 0 is the desktop's interface font
    int weight = 400;
    bool underline = false;
};

struct ControlForm {
    std::string_view name;
    ControlKind kind = ControlKind::label;
    std::string_view parent; // empty: the window's client area, else a picture box's name
    int left = 0, top = 0, width = 0, height = 0;
    std::string_view text; // UTF-8 in the source
    Colour text_colour = rgb(0, 0, 0);
    Colour background = button_face;
    Font font{};
    HAlign halign = HAlign::left;
    VAlign valign = VAlign::top;
    bool word_wrap = false;
    Placement placement = Placement::top_left;
    bool tab_stop = false;
    Pointer pointer = Pointer::arrow;
};

enum class EventKind {
    created,    // the window, after its controls exist and before it is first shown
    destroying, // the window is about to be destroyed
    left_press, // left mouse button pressed on a control
    clicked,    // a button was clicked (mouse, or space bar with the focus on it)
    feedback,   // a label's feedback event (the hot-key notification)
};

// What a handler receives: the binding's own value (a card slot, say) and, for a
// feedback event, the two values that came with the notification.
struct EventArgs {
    int bound = 0;
    std::int32_t first = 0;
    std::int32_t second = 0;
};
using Handler = void (*)(const EventArgs&);

struct Binding {
    std::string_view control; // empty: the window itself
    EventKind event = EventKind::clicked;
    Handler handler = nullptr;
    int bound = 0;
};

struct WindowForm {
    std::string_view name;
    std::string_view caption;              // UTF-8 in the source
    int outer_width = 0, outer_height = 0; // frame and title bar included
    Colour background = button_face;
    bool esc_closes = true;
    std::span<const ControlForm> controls; // in form order: this order decides stacking and Tab
    std::span<const Binding> bindings;
};

struct ControlRef {
    const WindowForm* window = nullptr;
    std::string_view name;
};

// Prepares the toolkit and checks every form (unique names, known parents, sane
// sizes, bindings that name existing controls). False: the forms are unusable.
bool platform_init(std::span<const WindowForm* const> forms);

// Builds the window from its form, runs its created event, then shows it
// centred by its outer size. When the window is already open it is brought
// forward (restored if minimised) with its contents kept; when its destruction
// is pending it is destroyed now and built anew. False: it could not be built.
bool open_window(const WindowForm& form);

// Marks the window as about to go and queues its destruction; returns at once.
void destroy_window(const WindowForm& form);

// The one event loop; returns only when the toolkit is asked to quit.
void run_event_loop();

// Handles every event as it arrives for ms milliseconds, nested handlers
// included, and returns only when the time has passed. A quit request stays in
// the queue. Blocks in the event dispatcher while nothing happens.
void wait_handling_events(int ms);

// Releases the platform (stopping every sound) and ends the process at once.
[[noreturn]] void end_program(int exit_code);

// The fatal error box (caption "错误"), then end_program(-1). message is UTF-8.
[[noreturn]] void fatal_error(std::string_view message, std::string_view window_name);

// A message box with one OK button and no icon, modal for the whole program.
// Both texts are UTF-8 literals of the program.
void show_message(std::string_view text, std::string_view caption);

// Control properties. A text a control cannot give counts as empty.
Text get_text(ControlRef control);
void set_text(ControlRef control, const Text& text);
void set_picture(ControlRef control, ByteBlock block);
void set_visible(ControlRef control, bool visible);

// The native handle of a window (empty name) or of one of its controls; 0 when
// it has none.
std::uintptr_t window_handle(ControlRef control);
