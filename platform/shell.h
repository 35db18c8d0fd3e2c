#pragma once
#include <string_view>

// Hands an address to the desktop's URL opener and returns without waiting.
// Nothing is reported when no browser can open it.
void open_url(std::string_view url);
