// The board window as data: every control in the form's order, which decides
// stacking (earlier lies higher) and the Tab cycle (read from last to first).
#include "board/board.h"

#include "draw/draw.h"
#include "preset/preset.h"

namespace {

constexpr Colour yellow = rgb(255, 255, 0);
constexpr Colour teal = rgb(0, 128, 128);
constexpr Colour blue = rgb(0, 0, 255);
constexpr Colour red = rgb(255, 0, 0);

constexpr ControlForm face_box(std::string_view name, int left, int top, Colour background,
                               Placement placement) {
    return {.name = name,
            .kind = ControlKind::picture_box,
            .parent = "",
            .left = left,
            .top = top,
            .width = 378,
            .height = 216,
            .text = "",
            .background = background,
            .placement = placement};
}

constexpr ControlForm cover_box(std::string_view name, std::string_view face) {
    return {.name = name,
            .kind = ControlKind::picture_box,
            .parent = face,
            .left = 0,
            .top = 0,
            .width = 378,
            .height = 216,
            .text = "",
            .background = button_face,
            .placement = Placement::centred};
}

constexpr ControlForm prize_label(std::string_view name, std::string_view face) {
    return {.name = name,
            .kind = ControlKind::transparent_label,
            .parent = face,
            .left = 133,
            .top = 95,
            .width = 100,
            .height = 49,
            .text = "",
            .text_colour = blue,
            .font = {.pixel_height = 15, .weight = 700},
            .halign = HAlign::centre,
            .valign = VAlign::middle,
            .word_wrap = true};
}

constexpr ControlForm edit_box(std::string_view name, int left, int top, int width, int height) {
    return {.name = name,
            .kind = ControlKind::edit_box,
            .parent = "",
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = "",
            .background = yellow,
            .tab_stop = true};
}

constexpr ControlForm board_controls[] = {
    {.name = "透明标签98",
     .kind = ControlKind::transparent_label,
     .parent = "",
     .left = 512,
     .top = 483,
     .width = 96,
     .height = 24,
     .text = "进入Velmora论坛",
     .text_colour = blue,
     .font = {.pixel_height = 12, .weight = 400, .underline = true},
     .halign = HAlign::left,
     .valign = VAlign::middle,
     .pointer = Pointer::hand},
    face_box("图片框11", 756, 256, teal, Placement::centred),
    cover_box("图片框12", "图片框11"),
    prize_label("透明标签6", "图片框11"),
    face_box("图片框9", 378, 256, teal, Placement::centred),
    cover_box("图片框10", "图片框9"),
    prize_label("透明标签5", "图片框9"),
    face_box("图片框7", 0, 256, teal, Placement::centred),
    cover_box("图片框8", "图片框7"),
    prize_label("透明标签4", "图片框7"),
    {.name = "透明标签65",
     .kind = ControlKind::transparent_label,
     .parent = "",
     .left = 733,
     .top = 556,
     .width = 160,
     .height = 40,
     .text = "内定抽奖内容\r\n输入内容只会从这里抽取\r\n不输入内容就会从另一个抽取\r\n",
     .text_colour = red,
     .halign = HAlign::centre,
     .valign = VAlign::middle,
     .word_wrap = true},
    {.name = "透明标签654",
     .kind = ControlKind::transparent_label,
     .parent = "",
     .left = 1224,
     .top = 47,
     .width = 16,
     .height = 331,
     .text = "这\r\n\r\n里\r\n\r\n输\r\n\r\n入\r\n\r\n抽\r\n\r\n奖\r\n\r\n内\r\n\r\n容\r\n\r\n，\r"
             "\n\r\n"
             "一\r\n\r\n行\r\n\r\n为\r\n\r\n一\r\n\r\n个",
     .text_colour = red,
     .halign = HAlign::centre,
     .valign = VAlign::middle,
     .word_wrap = true},
    {.name = "标签1",
     .kind = ControlKind::label,
     .parent = "",
     .left = 608,
     .top = 656,
     .width = 80,
     .height = 24,
     .text = "标签"},
    {.name = "按钮1",
     .kind = ControlKind::button,
     .parent = "",
     .left = -64,
     .top = 0,
     .width = 1200,
     .height = 40,
     .text = " 重            开",
     .font = {.pixel_height = 37, .weight = 400},
     .halign = HAlign::centre,
     .valign = VAlign::middle,
     .tab_stop = true},
    edit_box("编辑框2", 765, 597, 80, 117),
    edit_box("编辑框1", 1136, 0, 88, 496),
    cover_box("图片框6", "图片框3"),
    cover_box("图片框5", "图片框2"),
    cover_box("图片框4", "图片框1"),
    prize_label("透明标签3", "图片框3"),
    prize_label("透明标签2", "图片框2"),
    prize_label("透明标签1", "图片框1"),
    face_box("图片框3", 756, 40, rgb(0, 255, 0), Placement::top_left),
    face_box("图片框2", 378, 40, rgb(0, 128, 0), Placement::top_left),
    face_box("图片框1", 0, 40, teal, Placement::centred),
};

constexpr Binding board_bindings[] = {
    {.control = "", .event = EventKind::created, .handler = setup_board},
    {.control = "", .event = EventKind::destroying, .handler = quit_with_board},
    {.control = "图片框4", .event = EventKind::left_press, .handler = run_card_draw, .bound = 1},
    {.control = "图片框5", .event = EventKind::left_press, .handler = run_card_draw, .bound = 2},
    {.control = "图片框6", .event = EventKind::left_press, .handler = run_card_draw, .bound = 3},
    {.control = "图片框8", .event = EventKind::left_press, .handler = run_card_draw, .bound = 4},
    {.control = "图片框10", .event = EventKind::left_press, .handler = run_card_draw, .bound = 5},
    {.control = "图片框12", .event = EventKind::left_press, .handler = run_card_draw, .bound = 6},
    {.control = "按钮1", .event = EventKind::clicked, .handler = reset_board},
    {.control = "标签1", .event = EventKind::feedback, .handler = open_preset_on_hot_key},
    {.control = "透明标签98", .event = EventKind::left_press, .handler = open_forum_page},
};

} // namespace

const WindowForm BoardWindow{
    .name = "BoardWindow",
    .caption = "",
    .outer_width = 1244,
    .outer_height = 533,
    .background = yellow,
    .esc_closes = true,
    .controls = board_controls,
    .bindings = board_bindings,
};

const std::array<CardSlot, 6> card_slots{{
    {1, "图片框1", "图片框4", "透明标签1", 0, 40},
    {2, "图片框2", "图片框5", "透明标签2", 378, 40},
    {3, "图片框3", "图片框6", "透明标签3", 756, 40},
    {4, "图片框7", "图片框8", "透明标签4", 0, 256},
    {5, "图片框9", "图片框10", "透明标签5", 378, 256},
    {6, "图片框11", "图片框12", "透明标签6", 756, 256},
}};
