#pragma once
// The RIFF WAVE checks that play_sound makes before it touches the sound output.
#include <cstdint>
#include <span>

enum class SampleFormat { u8, s16le, s24le, s32le, f32le };

struct WavInfo {
    SampleFormat format = SampleFormat::s16le;
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t frame_bytes = 0;         // bytes of one sample frame (all channels)
    std::span<const std::uint8_t> samples; // whole frames of the data chunk, inside the file
};

// True when file is a WAV file the sound output can play: fmt and a non-empty
// data chunk found within the RIFF size, every chunk up to them inside the file,
// a PCM (or float) format with a channel count, rate and sample size that a
// sound server takes. Never reads outside file.
bool parse_wav(std::span<const std::uint8_t> file, WavInfo& info);
