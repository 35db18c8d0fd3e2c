// The system-wide hot key on X11: a passive grab of the key on the root window,
// watched from a native event filter on the interface thread.
#include "platform/hotkey.h"
#include "platform/notify.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Every reply and error that xcb hands out is ours to free().
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbPtr = std::unique_ptr<T, FreeDeleter>;

struct Grab {
    std::int32_t identifier;
    xcb_keycode_t keycode;
    std::uint16_t modifiers; // X modifier mask, lock keys left out
};

struct HotKeyState {
    std::int32_t counter = 0;
    std::int32_t last_identifier = 0;
    std::uintptr_t receiver = 0;
    bool owner_hooked = false;
    std::uint16_t lock_masks = XCB_MOD_MASK_LOCK; // plus Num Lock's, once known
    std::vector<Grab> grabs;
};

HotKeyState& state() {
    static HotKeyState s;
    return s;
}

constexpr std::int32_t first_identifier_base = 33000;

// The system's modifier flags that the program's modifier codes stand for.
constexpr std::uint32_t mod_alt = 1, mod_control = 2, mod_shift = 4, mod_win = 8;

std::uint32_t system_flags(std::int32_t modifier_code) {
    switch (modifier_code) {
    case 0:
        return 0;
    case 1:
        return mod_control;
    case 2:
        return mod_shift;
    case 3:
        return mod_control | mod_shift;
    case 4:
        return mod_alt;
    case 5:
        return mod_control | mod_alt;
    case 6:
        return mod_shift | mod_alt;
    default:
        return static_cast<std::uint32_t>(modifier_code);
    }
}

// Virtual-key codes of the system to X keysyms; 0 for a code with no key here.
xcb_keysym_t keysym_for(std::int32_t key_code) {
    if (key_code >= 0x70 && key_code <= 0x87) // F1..F24
        return static_cast<xcb_keysym_t>(XK_F1 + (key_code - 0x70));
    if (key_code >= '0' && key_code <= '9')
        return static_cast<xcb_keysym_t>(XK_0 + (key_code - '0'));
    if (key_code >= 'A' && key_code <= 'Z') // the keymap lists letters lower case
        return static_cast<xcb_keysym_t>(XK_a + (key_code - 'A'));
    if (key_code >= 0x60 && key_code <= 0x69) // keypad digits
        return static_cast<xcb_keysym_t>(XK_KP_0 + (key_code - 0x60));
    struct Named {
        std::int32_t code;
        xcb_keysym_t keysym;
    };
    static constexpr std::array<Named, 16> named{{
        {0x08, XK_BackSpace},
        {0x09, XK_Tab},
        {0x0D, XK_Return},
        {0x13, XK_Pause},
        {0x1B, XK_Escape},
        {0x20, XK_space},
        {0x21, XK_Prior},
        {0x22, XK_Next},
        {0x23, XK_End},
        {0x24, XK_Home},
        {0x25, XK_Left},
        {0x26, XK_Up},
        {0x27, XK_Right},
        {0x28, XK_Down},
        {0x2D, XK_Insert},
        {0x2E, XK_Delete},
    }};
    for (const Named& n : named)
        if (n.code == key_code)
            return n.keysym;
    return 0;
}

// The keyboard as the server maps it at registration time.
struct KeyboardMap {
    xcb_keycode_t min_keycode = 0;
    int count = 0;
    int per_keycode = 0;
    XcbPtr<xcb_get_keyboard_mapping_reply_t> reply;

    const xcb_keysym_t* keysyms() const { return xcb_get_keyboard_mapping_keysyms(reply.get()); }

    bool keycode_has(xcb_keycode_t keycode, xcb_keysym_t keysym) const {
        const int row = keycode - min_keycode;
        if (row < 0 || row >= count)
            return false;
        for (int col = 0; col < per_keycode; ++col)
            if (keysyms()[row * per_keycode + col] == keysym)
                return true;
        return false;
    }

    // Column by column, so that a key carrying the symbol unshifted wins over
    // one that has it on a shifted level.
    std::optional<xcb_keycode_t> keycode_of(xcb_keysym_t keysym) const {
        for (int col = 0; col < per_keycode; ++col)
            for (int row = 0; row < count; ++row)
                if (keysyms()[row * per_keycode + col] == keysym)
                    return static_cast<xcb_keycode_t>(min_keycode + row);
        return std::nullopt;
    }
};

std::optional<KeyboardMap> read_keyboard_map(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    KeyboardMap map;
    map.min_keycode = setup->min_keycode;
    map.count = setup->max_keycode - setup->min_keycode + 1;
    map.reply.reset(xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(map.count)),
        nullptr));
    if (!map.reply)
        return std::nullopt;
    map.per_keycode = map.reply->keysyms_per_keycode;
    return map;
}

// Which of Mod1..Mod5 carries one of the given keysyms; fallback when none does.
// Num Lock, Alt and Super sit wherever the keymap puts them.
std::uint16_t modifier_mask_of(xcb_connection_t* c, const KeyboardMap& map,
                               std::initializer_list<xcb_keysym_t> keysyms,
                               std::uint16_t fallback) {
    XcbPtr<xcb_get_modifier_mapping_reply_t> mods(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!mods)
        return fallback;
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mods.get());
    const int per_modifier = mods->keycodes_per_modifier;
    for (int modifier = 3; modifier < 8; ++modifier) // Mod1..Mod5
        for (int i = 0; i < per_modifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * per_modifier + i];
            if (keycode == 0)
                continue;
            for (xcb_keysym_t keysym : keysyms)
                if (map.keycode_has(keycode, keysym))
                    return static_cast<std::uint16_t>(1u << modifier);
        }
    return fallback;
}

std::uint16_t x_modifiers(std::uint32_t flags, xcb_connection_t* c, const KeyboardMap& map) {
    std::uint16_t mask = 0;
    if (flags & mod_control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (flags & mod_shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (flags & mod_alt)
        mask |= modifier_mask_of(c, map, {XK_Alt_L, XK_Alt_R, XK_Meta_L}, XCB_MOD_MASK_1);
    if (flags & mod_win)
        mask |= modifier_mask_of(c, map, {XK_Super_L, XK_Super_R}, XCB_MOD_MASK_4);
    return mask;
}

xcb_window_t root_window(xcb_connection_t* c, std::uintptr_t owner) {
    if (owner != 0) {
        XcbPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
            c, xcb_get_geometry(c, static_cast<xcb_window_t>(owner)), nullptr));
        if (geometry)
            return geometry->root;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

// Relevant modifier bits of an event's state: Shift, Control, Mod1..Mod5 without
// the lock keys (the keyboard group bits above them are dropped too).
std::uint16_t held_modifiers(std::uint16_t event_state) {
    constexpr std::uint16_t relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 |
                                       XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 |
                                       XCB_MOD_MASK_5;
    return static_cast<std::uint16_t>(event_state & relevant & ~state().lock_masks);
}

// Sees every X event before Qt does. A grabbed key is reported to the root
// window, or, while one of the program's own windows has the focus, to that
// window: either way it is consumed here so that no edit box ever gets it.
struct HotKeyFilter final : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t kind = event->response_type & ~0x80;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE)
            return false;
        const auto* key = static_cast<const xcb_key_press_event_t*>(message);
        const std::uint16_t held = held_modifiers(key->state);
        // A copy: the handlers run from here may register again or nest an event loop.
        const std::vector<Grab> grabs = state().grabs;
        bool ours = false;
        for (const Grab& g : grabs) {
            if (g.keycode != key->detail || g.modifiers != held)
                continue;
            ours = true;
            if (kind == XCB_KEY_PRESS)
                send_feedback(state().receiver, g.identifier, 0);
        }
        return ours;
    }
};

// Grabs the key with every combination of the lock keys, all or nothing.
bool grab_all_variants(xcb_connection_t* c, xcb_window_t root, xcb_keycode_t keycode,
                       std::uint16_t modifiers, std::uint16_t num_lock) {
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (num_lock != 0 && num_lock != XCB_MOD_MASK_LOCK) {
        variants.push_back(num_lock);
        variants.push_back(static_cast<std::uint16_t>(num_lock | XCB_MOD_MASK_LOCK));
    }
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t v : variants)
        cookies.push_back(xcb_grab_key_checked(c, 1, root,
                                               static_cast<std::uint16_t>(modifiers | v), keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::vector<std::uint16_t> granted;
    bool refused = false;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        XcbPtr<xcb_generic_error_t> error(xcb_request_check(c, cookies[i]));
        if (error)
            refused = true; // BadAccess (10): another client holds it
        else
            granted.push_back(variants[i]);
    }
    if (refused) {
        for (std::uint16_t v : granted)
            xcb_ungrab_key(c, keycode, root, static_cast<std::uint16_t>(modifiers | v));
        xcb_flush(c);
        return false;
    }
    return true;
}

} // namespace

std::int32_t register_hot_key(std::uintptr_t owner, std::uintptr_t receiver,
                              std::int32_t modifier_code, std::int32_t key_code) {
    HotKeyState& s = state();
    s.receiver = receiver;
    const std::uint32_t flags = system_flags(modifier_code);
    if (!s.owner_hooked && qGuiApp) {
        static HotKeyFilter filter;
        qGuiApp->installNativeEventFilter(&filter);
        s.owner_hooked = true;
    }
    ++s.counter;
    s.last_identifier = first_identifier_base + s.counter;

    // Not on X11 (Wayland, offscreen): the desktop offers no grab; refused.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c))
        return 0;
    const xcb_keysym_t keysym = keysym_for(key_code);
    if (keysym == 0)
        return 0;
    const std::optional<KeyboardMap> map = read_keyboard_map(c);
    if (!map)
        return 0;
    const std::optional<xcb_keycode_t> keycode = map->keycode_of(keysym);
    if (!keycode)
        return 0;
    const xcb_window_t root = root_window(c, owner);
    if (root == XCB_WINDOW_NONE)
        return 0;
    const std::uint16_t num_lock = modifier_mask_of(c, *map, {XK_Num_Lock}, 0);
    s.lock_masks = static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | num_lock);
    const std::uint16_t modifiers = x_modifiers(flags, c, *map);
    if (!grab_all_variants(c, root, *keycode, modifiers, num_lock))
        return 0;
    s.grabs.push_back({s.last_identifier, *keycode, modifiers});
    return s.last_identifier;
}
