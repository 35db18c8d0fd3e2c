#pragma once
// The program's media, built into it as byte blocks (see platform/byte_block.h).
#include <cstdint>

extern const std::uint8_t face_image[];      // PNG, the broken egg with the gift box
extern const std::uint8_t cover_image[];     // PNG, the whole egg with the hammer
extern const std::uint8_t smash_animation[]; // GIF89a, ten frames
extern const std::uint8_t smash_sound[];     // WAV, PCM 16-bit stereo 24000 Hz
extern const std::uint8_t program_icon[];    // PNG, 256 x 256 RGBA, for the title bar and taskbar
