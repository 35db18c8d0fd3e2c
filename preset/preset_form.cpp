#include "preset/preset.h"

#include <array>

namespace {

// In form order: the confirm button is stacked on top, and the Tab cycle, read
// from the last control to the first, starts in the entry box.
constexpr std::array<ControlForm, 3> preset_controls{{
    {
        .name = "按钮1",
        .kind = ControlKind::button,
        .parent = "",
        .left = 0,
        .top = 0,
        .width = 32,
        .height = 224,
        .text = "确\r\n\r\n\r\n\r\n定",
        .halign = HAlign::centre,
        .valign = VAlign::middle,
        .word_wrap = true,
        .tab_stop = true,
    },
    {
        .name = "透明标签5",
        .kind = ControlKind::transparent_label,
        .parent = "",
        .left = 117,
        .top = 0,
        .width = 24,
        .height = 216,
        .text = "内不\r\n定输\r\n抽入\r\n奖内\r\n内容\r\n容就\r\n，会\r\n输从\r\n入另\r\n内一\r\n"
                "容个\r\n只抽\r\n会取\r\n从\r\n这\r\n里\r\n抽\r\n取\r\n",
        .text_colour = rgb(255, 0, 0),
        .halign = HAlign::left,
        .word_wrap = true,
    },
    {
        .name = "编辑框1",
        .kind = ControlKind::edit_box,
        .parent = "",
        .left = 33,
        .top = 0,
        .width = 80,
        .height = 224,
        .text = "",
        .text_colour = rgb(0, 0, 0),
        .background = rgb(255, 255, 255),
        .halign = HAlign::left,
        .tab_stop = true,
    },
}};

constexpr std::array<Binding, 1> preset_bindings{{
    {.control = "按钮1", .event = EventKind::clicked, .handler = confirm_preset},
}};

} // namespace

const WindowForm PresetWindow{
    .name = "PresetWindow",
    .caption = "",
    .outer_width = 149,
    .outer_height = 253,
    .background = button_face,
    .esc_closes = true,
    .controls = preset_controls,
    .bindings = preset_bindings,
};
