#pragma once
#include "platform/text.h"

#include <string_view>

// The entries of a list text: every piece ending at a CR LF (an empty one too),
// then the rest after the last CR LF when it is not empty. A byte of 0x80 or
// above starts a two-byte character, so its second byte never begins a break.
TextList split_lines(std::string_view text);
