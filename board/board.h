#pragma once
#include "platform/window.h"

#include <array>
#include <string_view>

extern const WindowForm BoardWindow;

// One card of the board: the face box shows the broken egg, the cover box the
// whole egg above it, the prize label the drawn entry.
struct CardSlot {
    int number;
    std::string_view face_box;
    std::string_view cover_box;
    std::string_view prize_label;
    int left, top; // the face box on the board
};
extern const std::array<CardSlot, 6> card_slots;

inline constexpr std::string_view entry_list = "编辑框1";
inline constexpr std::string_view preset_list = "编辑框2";
inline constexpr std::string_view hotkey_receiver = "标签1";

void setup_board(const EventArgs& args);
[[noreturn]] void quit_with_board(const EventArgs& args);
void open_forum_page(const EventArgs& args);
