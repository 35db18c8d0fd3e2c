#include "platform/window_xcb.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <thread>

namespace {

// Every xcb reply is malloc'ed and must be freed exactly once.
template <typename Reply> struct ReplyFree {
    void operator()(Reply* r) const { std::free(r); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, ReplyFree<Reply>>;

xcb_atom_t intern(xcb_connection_t* c, std::string_view name) {
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t root_of(xcb_connection_t* c, xcb_window_t w) {
    const ReplyPtr<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

// An EWMH window manager announces itself on the root window; without one
// nobody would ever answer the request.
bool window_manager_present(xcb_connection_t* c, xcb_window_t root) {
    const xcb_atom_t check = intern(c, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return false;
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    return reply && reply->type == XCB_ATOM_WINDOW &&
           xcb_get_property_value_length(reply.get()) >= 4;
}

bool read_extents(xcb_connection_t* c, xcb_window_t w, xcb_atom_t extents, FrameExtents& out) {
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16)
        return false;
    std::uint32_t v[4];
    std::memcpy(v, xcb_get_property_value(reply.get()), sizeof v);
    // A frame wider than any screen is no frame we can trust.
    for (const std::uint32_t e : v)
        if (e > 4096)
            return false;
    out = {int(v[0]), int(v[1]), int(v[2]), int(v[3])};
    return true;
}

xcb_connection_t* x_connection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

FrameExtents frame_extents_before_map(std::uintptr_t x_window) {
    xcb_connection_t* c = x_connection();
    if (!c || x_window == 0)
        return {};
    const auto w = xcb_window_t(x_window);
    const xcb_window_t root = root_of(c, w);
    const xcb_atom_t request = intern(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = intern(c, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE ||
        !window_manager_present(c, root))
        return {};

    FrameExtents result;
    if (read_extents(c, w, extents, result))
        return result;

    xcb_client_message_event_t msg{};
    msg.response_type = XCB_CLIENT_MESSAGE;
    msg.format = 32;
    msg.window = w;
    msg.type = request;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&msg));
    xcb_flush(c);

    // The answer is a property change; polling the property keeps this apart
    // from the toolkit's own event reading. A window manager that ignores the
    // request costs at most this long at start-up.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(300);
    while (steady_clock::now() < deadline) {
        if (read_extents(c, w, extents, result))
            return result;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return {};
}
