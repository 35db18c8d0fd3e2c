#pragma once
#include "platform/byte_block.h"

// Starts playing the WAV file held in block and returns at once. Each call is a
// playback of its own; running playbacks go on, mixed by the sound server.
// True when the block holds a usable WAV file and its playback has started.
bool play_sound(ByteBlock block, bool loop);

// Cuts off every playback and waits until each has released its output.
void stop_all_sounds();
