#pragma once
#include "platform/window.h"

#include <cstdint>

extern const WindowForm PresetWindow;

// The preset hot key's identifier: 0 until the board registers F1, then what
// the registration gave (0 when the desktop refused the key).
extern std::int32_t hotkey_id;

// The hot-key receiver's feedback event: (identifier, 0).
void open_preset_on_hot_key(const EventArgs& args);
// The preset window's confirm button.
void confirm_preset(const EventArgs& args);
