#pragma once
// A GIF read one frame at a time from memory, without a toolkit. A pass holds
// only the frame in hand; each pass opens the decoder afresh, so a picture that
// loops for hours never gathers the frames it has shown.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct GifFileType;

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0; // in logical-screen pixels
    int delay = 0;                                // as stored, hundredths of a second
    int transparent = -1;              // the transparent index, or -1 when the frame has none
    std::vector<std::uint8_t> indices; // width * height, rows top to bottom
    std::array<std::uint32_t, 256> colours{}; // 0xFFRRGGBB; entries past the map are black
};

enum class GifStep { frame, end, error };

class GifPass {
  public:
    // Opens the decoder and reads the logical screen descriptor and the global
    // colour table; ok() is false when that fails or the screen is empty or huge.
    explicit GifPass(std::span<const std::uint8_t> file);
    ~GifPass();
    GifPass(const GifPass&) = delete;
    GifPass& operator=(const GifPass&) = delete;

    bool ok() const { return gif_ != nullptr; }
    int screen_width() const;
    int screen_height() const;

    // Decodes the next frame now. end after the last frame (the trailer);
    // error for a damaged file, which ends the pass.
    GifStep next_frame(GifFrame& frame);

  private:
    struct Source {
        std::span<const std::uint8_t> file;
        std::size_t at = 0;
    };
    struct Closer {
        void operator()(GifFileType* gif) const;
    };
    static int read(GifFileType* gif, std::uint8_t* into, int count);

    Source source_;
    std::unique_ptr<GifFileType, Closer> gif_;
};

bool has_gif_signature(std::span<const std::uint8_t> file);

// Copies frame into an 0xAARRGGBB canvas of width x height (stride in pixels),
// clipped to it, leaving the canvas unchanged wherever the frame holds its
// transparent index.
void composite_frame(const GifFrame& frame, std::uint32_t* canvas, int width, int height,
                     std::size_t stride);

// A stored delay in milliseconds: 10 ms a unit, and 0 standing for 50 ms.
inline int frame_time_ms(int delay) {
    return delay == 0 ? 50 : delay * 10;
}

inline constexpr std::uint64_t max_gif_pixels = 64u * 1024u * 1024u;
