// The smash sound: header field by field, the channels, the one full-scale
// sample, the quiet ends and the loudness of every 50 ms window.
#include "media/assets.h"
#include "tests/media/assets_util.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace media_test;

namespace {

constexpr int kFrames = 98494;

struct HeaderField {
    const char* name;
    int offset, size;
    std::uint32_t value; // numbers
    const char* tag;     // or four characters
};

const HeaderField kHeader[] = {{"riff_id", 0, 4, 0, "RIFF"},
                               {"riff_size", 4, 4, 394020, nullptr},
                               {"wave_id", 8, 4, 0, "WAVE"},
                               {"fmt_id", 12, 4, 0, "fmt "},
                               {"fmt_size", 16, 4, 16, nullptr},
                               {"format_pcm", 20, 2, 1, nullptr},
                               {"channels", 22, 2, 2, nullptr},
                               {"sample_rate", 24, 4, 24000, nullptr},
                               {"bytes_per_second", 28, 4, 96000, nullptr},
                               {"block_align", 32, 2, 4, nullptr},
                               {"bits_per_sample", 34, 2, 16, nullptr},
                               {"data_id", 36, 4, 0, "data"},
                               {"data_size", 40, 4, 393976, nullptr}};

class WavHeader : public testing::TestWithParam<HeaderField> {};

TEST_P(WavHeader, Field) {
    const Bytes f = file_of(smash_sound);
    ASSERT_EQ(f.size(), 394028u);
    const HeaderField& h = GetParam();
    if (h.tag)
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&f[std::size_t(h.offset)]), 4), h.tag);
    else
        EXPECT_EQ(h.size == 2 ? le16(&f[std::size_t(h.offset)]) : le32(&f[std::size_t(h.offset)]),
                  h.value);
}

INSTANTIATE_TEST_SUITE_P(Fields, WavHeader, testing::ValuesIn(kHeader),
                         [](const auto& row) { return std::string(row.param.name); });

std::int16_t sample(Bytes f, int frame, int channel) {
    return std::int16_t(le16(&f[44 + std::size_t(frame) * 4 + std::size_t(channel) * 2]));
}

TEST(SmashSound, PaddingAfterTheDataIsZero) {
    const Bytes f = file_of(smash_sound);
    ASSERT_EQ(f.size(), 394028u);
    for (std::size_t i = 394020; i < 394028; ++i)
        EXPECT_EQ(f[i], 0);
}

TEST(SmashSound, SamplesAndTheirLimits) {
    const Bytes f = file_of(smash_sound);
    ASSERT_EQ(f.size(), 394028u);
    int full_scale = 0, full_scale_at = -1, loud_tail = 0;
    for (int i = 0; i < kFrames; ++i) {
        const int l = sample(f, i, 0), r = sample(f, i, 1);
        ASSERT_EQ(l, r) << "left and right differ at frame " << i;
        if (i < 2136) {
            ASSERT_EQ(l, 0) << "the first 0.089 s are silent; frame " << i;
        }
        if (l == -32768)
            ++full_scale, full_scale_at = i;
        if (i > 97752 && std::abs(l) >= 100)
            ++loud_tail;
    }
    EXPECT_EQ(full_scale, 1) << "one full-scale sample";
    EXPECT_EQ(full_scale_at, 17988) << "at 0.7495 s";
    EXPECT_EQ(loud_tail, 0) << "samples after 4.073 s stay below 100";
}

// Loudness of each 50 ms window, dBFS RMS of one channel.
struct Window {
    int index;
    double db; // -999 for silent
};

const double kSilent = -999;
const double kTable[] = {
    kSilent, kSilent, -15, -10, -14, -19, -23, -18, -16, -21, -24, -20, -19, -20, -18, -13, -22,
    -17,     -19,     -20, -22, -24, -22, -20, -20, -19, -18, -15, -15, -15, -16, -17, -17, -17,
    -16,     -16,     -17, -18, -18, -18, -18, -17, -15, -16, -16, -17, -16, -17, -18, -17, -17,
    -17,     -18,     -18, -18, -19, -20, -21, -22, -23, -24, -25, -26, -27, -28, -29, -30, -31,
    -33,     -34,     -35, -36, -38, -39, -40, -41, -43, -44, -45, -47, -48, -52, -87};
static_assert(std::size(kTable) == 83);

std::vector<Window> windows() {
    std::vector<Window> out;
    for (int i = 0; i < 83; ++i)
        out.push_back({i, kTable[i]});
    return out;
}

class Loudness : public testing::TestWithParam<Window> {};

TEST_P(Loudness, WindowMatchesTheTable) {
    const Bytes f = file_of(smash_sound);
    ASSERT_EQ(f.size(), 394028u);
    const int a = GetParam().index * 1200, b = std::min(kFrames, a + 1200);
    double sum = 0;
    for (int i = a; i < b; ++i)
        sum += double(sample(f, i, 0)) * sample(f, i, 0);
    const double rms = std::sqrt(sum / (b - a));
    const double db = rms > 0 ? 20 * std::log10(rms / 32768) : -300;
    if (GetParam().db == kSilent)
        EXPECT_LT(db, -90);
    else
        EXPECT_NEAR(db, GetParam().db, 1.5);
}

INSTANTIATE_TEST_SUITE_P(Windows, Loudness, testing::ValuesIn(windows()), [](const auto& row) {
    const int ms = row.param.index * 50;
    char name[32];
    std::snprintf(name, sizeof name, "at_%d_%03d_s", ms / 1000, ms % 1000);
    return std::string(name);
});

// Energy of a stretch at one frequency (Goertzel), relative between bands.
double power_at(Bytes f, int from, int to, double hz) {
    const double w = 2 * M_PI * hz / 24000, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int i = from; i < to; ++i) {
        const double s = sample(f, i, 0) + c * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

TEST(SmashSound, SpectrumOfEachStretch) {
    const Bytes f = file_of(smash_sound);
    ASSERT_EQ(f.size(), 394028u);
    auto band = [&](int from, int to, double lo, double hi) {
        double e = 0;
        for (double hz = lo; hz < hi; hz += 50)
            e += power_at(f, from, to, hz);
        return e / ((hi - lo) / 50);
    };
    // The first hit: bright noise, mostly between 1 and 6 kHz.
    const int h0 = 3000, h1 = 4800;
    EXPECT_GT(band(h0, h1, 1000, 6000), 10 * band(h0, h1, 100, 700));
    EXPECT_GT(band(h0, h1, 1000, 6000), 10 * band(h0, h1, 8000, 11500));
    // The ringing at 3 s: its partials stand far above the gaps between them.
    const int r0 = 72000, r1 = 74400;
    for (double hz : {2700.0, 3000.0, 3400.0, 3600.0})
        EXPECT_GT(power_at(f, r0, r1, hz), 100 * power_at(f, r0, r1, 1500)) << hz << " Hz";
}

} // namespace
