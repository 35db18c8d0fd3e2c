// Temporary: empty media blocks, until the media library lands.
#include "media/assets.h"

const std::uint8_t face_image[] = {1, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t cover_image[] = {1, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t smash_animation[] = {1, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t smash_sound[] = {1, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t program_icon[] = {1, 0, 0, 0, 0, 0, 0, 0};
