// key_grabber KEYSYM MASK: a rival X client. Grabs the key of that keysym (hex)
// with exactly that modifier mask on the root window, prints "grabbed" or
// "refused", and holds the grab until killed.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: key_grabber KEYSYM MASK\n");
        return 2;
    }
    const auto keysym = static_cast<xcb_keysym_t>(std::strtoul(argv[1], nullptr, 16));
    const auto mask = static_cast<std::uint16_t>(std::strtoul(argv[2], nullptr, 0));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "key_grabber: no display\n");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, FreeDeleter> map(
        xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
            nullptr));
    if (!map)
        return 1;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    xcb_keycode_t keycode = 0;
    for (int i = 0; i < count * map->keysyms_per_keycode && keycode == 0; ++i)
        if (syms[i] == keysym)
            keycode = static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
    if (keycode == 0)
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(
        xcb_request_check(c, xcb_grab_key_checked(c, 1, root, mask, keycode, XCB_GRAB_MODE_ASYNC,
                                                  XCB_GRAB_MODE_ASYNC)));
    std::printf(error ? "refused\n" : "grabbed\n");
    std::fflush(stdout);
    while (xcb_generic_event_t* e = xcb_wait_for_event(c))
        std::free(e);
    xcb_disconnect(c);
    return 0;
}
