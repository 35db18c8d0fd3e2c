#include "board/board.h"

#include "media/assets.h"
#include "platform/hotkey.h"
#include "platform/shell.h"
#include "preset/preset.h"

#include <string_view>

namespace {

constexpr std::string_view face_boxes[] = {"图片框1", "图片框2", "图片框3",
                                           "图片框7", "图片框9", "图片框11"};
constexpr std::string_view cover_boxes[] = {"图片框4", "图片框5",  "图片框6",
                                            "图片框8", "图片框10", "图片框12"};

constexpr std::string_view forum_address = "https://www.velmora-forum.com/";

} // namespace

void setup_board(const EventArgs&) {
    for (const std::string_view box : face_boxes)
        set_picture({&BoardWindow, box}, face_image);
    for (const std::string_view box : cover_boxes)
        set_picture({&BoardWindow, box}, cover_image);
    // F1, no modifier: key code 112.
    hotkey_id = register_hot_key(window_handle({&BoardWindow, ""}),
                                 window_handle({&BoardWindow, hotkey_receiver}), 0, 112);
}

void quit_with_board(const EventArgs&) {
    end_program(0);
}

void open_forum_page(const EventArgs&) {
    // No browser window is looked for as the request's owner: the desktop's
    // opener takes none.
    open_url(forum_address);
}
