#pragma once
#include <cstdint>

// A system-wide hot key. owner is the native handle of the top-level window the
// key belongs to, receiver that of the control whose feedback event is raised
// with (identifier, 0) on every press. modifier_code: 0 none, 1 Ctrl, 2 Shift,
// 3 Ctrl+Shift, 4 Alt, 5 Ctrl+Alt, 6 Shift+Alt. key_code: 112 is F1.
// Returns the new identifier (33000 + registrations attempted), or 0 when the
// desktop refused the key.
std::int32_t register_hot_key(std::uintptr_t owner, std::uintptr_t receiver,
                              std::int32_t modifier_code, std::int32_t key_code);
