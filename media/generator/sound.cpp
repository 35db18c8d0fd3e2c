// The smash sound: bright noisy hits, a run of rising chime tones and a high
// ringing that dies away. It is synthesised, then its loudness is shaped window
// by window (50 ms) to the course the draw's timing was designed around.
#include "gen.h"

#include <algorithm>
#include <cmath>

namespace gen {
namespace {

constexpr double kSilent = -200; // a window that must stay below -90 dBFS

// Target loudness of each 50 ms window, dBFS RMS of one channel.
constexpr double kLoudness[] = {kSilent, kSilent, -15, -10, -14, -19, -23, -18, -16, -21, // 0.0 s
                                -24,     -20,     -19, -20, -18, -13, -22, -17, -19, -20, // 0.5 s
                                -22,     -24,     -22, -20, -20, -19, -18, -15, -15, -15, // 1.0 s
                                -16,     -17,     -17, -17, -16, -16, -17, -18, -18, -18, // 1.5 s
                                -18,     -17,     -15, -16, -16, -17, -16, -17, -18, -17, // 2.0 s
                                -17,     -17,     -18, -18, -18, -19, -20, -21, -22, -23, // 2.5 s
                                -24,     -25,     -26, -27, -28, -29, -30, -31, -33, -34, // 3.0 s
                                -35,     -36,     -38, -39, -40, -41, -43, -44, -45, -47, // 3.5 s
                                -48,     -52,     -87};                                   // 4.0 s

constexpr int kFrames = 98494;
constexpr int kWindow = 1200; // 50 ms at 24000 Hz
constexpr int kWindows = int(std::size(kLoudness));
static_assert((kFrames + kWindow - 1) / kWindow == kWindows);
constexpr int kPeakFrame = 17988; // the one full-scale sample, in the strongest hit

// A second-order section (the usual bilinear designs).
struct Biquad {
    double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
    static Biquad make(double rate, double freq, double q, bool high) {
        const double w = 2 * M_PI * freq / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        const double k = high ? (1 + c) / 2 : (1 - c) / 2;
        return {k / a0, (high ? -2 * k : 2 * k) / a0, k / a0, -2 * c / a0, (1 - alpha) / a0};
    }
    static Biquad resonator(double rate, double freq, double q) {
        const double w = 2 * M_PI * freq / rate, alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        return {alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0};
    }
    double run(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

struct Hit {
    double at, strength, decay;
};

// Noise limited to about 1-6 kHz, with a few resonances of the shell in it.
void add_hits(std::vector<double>& s, double rate) {
    const Hit hits[] = {{0.125, 1.0, 0.050}, {0.35, 0.45, 0.035}, {0.40, 0.55, 0.045},
                        {0.58, 0.50, 0.045}, {0.74, 1.0, 0.040},  {0.87, 0.45, 0.045},
                        {1.04, 0.40, 0.050}};
    Noise noise(2024);
    Biquad hp1 = Biquad::make(rate, 1000, 0.7, true), hp2 = Biquad::make(rate, 1000, 0.7, true);
    Biquad lp1 = Biquad::make(rate, 6000, 0.7, false), lp2 = Biquad::make(rate, 6000, 0.7, false);
    Biquad ring[3] = {Biquad::resonator(rate, 1850, 18), Biquad::resonator(rate, 2950, 22),
                      Biquad::resonator(rate, 4300, 20)};
    const int begin = int(0.100 * rate), end = int(1.25 * rate);
    for (int i = begin; i < end; ++i) {
        const double t = i / rate;
        double env = 0;
        for (const Hit& h : hits) {
            const double dt = t - h.at;
            if (dt < -0.025)
                continue;
            // A fast rise (about 60 dB within the first 30 ms) then an exponential fall,
            // with a second smaller crunch a few milliseconds in.
            const double rise = dt < 0 ? std::exp(dt / 0.0036) : 1 - std::exp(-dt / 0.0015);
            const double fall = dt < 0 ? 1 : std::exp(-dt / h.decay);
            const double crunch = dt > 0.012 ? 0.5 * std::exp(-(dt - 0.012) / 0.02) : 0;
            env += h.strength * rise * (fall + crunch);
        }
        const double white = noise.symmetric();
        double band = lp2.run(lp1.run(hp2.run(hp1.run(white))));
        double shell = 0;
        for (auto& r : ring)
            shell += r.run(white);
        s[std::size_t(i)] += env * (band * 1.6 + shell * 0.9);
    }
}

// Chime tones, each higher than the one before.
void add_tones(std::vector<double>& s, double rate) {
    const double freqs[] = {600, 700, 760, 1140, 1200, 1800, 2000, 2300, 2400};
    const int n = int(std::size(freqs));
    for (int k = 0; k < n; ++k) {
        const double start = 1.10 + k * (1.20 / n);
        for (int i = int(start * rate); i < kFrames; ++i) {
            const double dt = i / rate - start;
            const double env = (1 - std::exp(-dt / 0.006)) * std::exp(-dt / 0.22);
            if (dt > 0.2 && env < 1e-4)
                break;
            const double ph = 2 * M_PI * freqs[k] * dt;
            s[std::size_t(i)] +=
                0.5 * env * (std::sin(ph) + 0.22 * std::sin(2 * ph) + 0.06 * std::sin(3 * ph));
        }
    }
}

// The ringing: a few high partials, two of them beating slowly for a shimmer.
void add_ringing(std::vector<double>& s, double rate) {
    const double partials[][2] = {{2700, 1.0}, {2703.5, 0.35}, {3000, 0.8},
                                  {3400, 0.6}, {3402.8, 0.3},  {3600, 0.5}};
    const double start = 2.28;
    for (int i = int(start * rate); i < kFrames; ++i) {
        const double t = i / rate, dt = t - start;
        double v = 0;
        for (const auto& p : partials)
            v += p[1] * std::sin(2 * M_PI * p[0] * dt + p[0]);
        double env = 1 - std::exp(-dt / 0.008);
        // Near the end the ring is damped, so the last 30 ms are nearly still.
        if (t > 4.060)
            env *= std::pow(10.0, -(t - 4.060) * 900 / 20);
        s[std::size_t(i)] += 0.28 * env * v;
    }
}

double db_to_amp(double db) {
    return 32768.0 * std::pow(10.0, db / 20);
}

// Keeps the loud noisy peaks clear of full scale without a hard edge.
double soft_limit(double x) {
    constexpr double knee = 24000, room = 8600;
    const double m = std::abs(x);
    if (m <= knee)
        return x;
    return std::copysign(knee + room * std::tanh((m - knee) / room), x);
}

// A per-window gain (in dB) eased across each window boundary over 10 ms,
// so the shaping never clicks.
std::vector<double> gain_curve(const std::vector<double>& window_db) {
    std::vector<double> g(kFrames);
    constexpr int ease = 120;
    for (int i = 0; i < kFrames; ++i) {
        const int w = i / kWindow, at = i % kWindow;
        double db = window_db[std::size_t(w)];
        if (at < ease && w > 0) {
            const double t = 0.5 + 0.5 * at / double(ease);
            const double smooth = t * t * (3 - 2 * t);
            db = window_db[std::size_t(w - 1)] + (db - window_db[std::size_t(w - 1)]) * smooth;
        } else if (at >= kWindow - ease && w + 1 < kWindows) {
            const double t = 0.5 * (at - (kWindow - ease)) / double(ease);
            const double smooth = t * t * (3 - 2 * t);
            db = db + (window_db[std::size_t(w + 1)] - db) * smooth;
        }
        g[std::size_t(i)] = std::pow(10.0, db / 20);
    }
    return g;
}

double window_db(const std::vector<std::int16_t>& pcm, int w) {
    const int a = w * kWindow, b = std::min(kFrames, a + kWindow);
    double sum = 0;
    for (int i = a; i < b; ++i)
        sum += double(pcm[std::size_t(i)]) * pcm[std::size_t(i)];
    const double rms = std::sqrt(sum / (b - a));
    return rms > 0 ? 20 * std::log10(rms / 32768.0) : -300;
}

} // namespace

std::vector<std::int16_t> synthesise_smash(int rate_hz) {
    if (rate_hz != 24000)
        fail("the sound is laid out for 24000 Hz");
    const double rate = rate_hz;
    std::vector<double> raw(kFrames, 0.0);
    add_hits(raw, rate);
    add_tones(raw, rate);
    add_ringing(raw, rate);

    // The windows before the first hit hold nothing; they take the first loud
    // window's gain, so the faint rise into the hit is kept as synthesised.
    std::vector<double> gains(kWindows, 0.0);
    for (int w = 0; w < kWindows; ++w) {
        if (kLoudness[w] == kSilent)
            continue;
        const int a = w * kWindow, b = std::min(kFrames, a + kWindow);
        double sum = 0;
        for (int i = a; i < b; ++i)
            sum += raw[std::size_t(i)] * raw[std::size_t(i)];
        const double rms = std::sqrt(sum / (b - a)) + 1e-12;
        gains[std::size_t(w)] = 20 * std::log10(db_to_amp(kLoudness[w]) / rms);
    }
    const int first_loud = 2;
    for (int w = 0; w < first_loud; ++w)
        gains[std::size_t(w)] = gains[first_loud];

    std::vector<std::int16_t> pcm(kFrames);
    for (int round = 0; round < 16; ++round) {
        const std::vector<double> g = gain_curve(gains);
        for (int i = 0; i < kFrames; ++i) {
            double v = soft_limit(raw[std::size_t(i)] * g[std::size_t(i)]);
            v = std::clamp(std::round(v), -32767.0, 32767.0);
            pcm[std::size_t(i)] = std::int16_t(v);
        }
        for (int i = 0; i < int(0.100 * rate); ++i)
            pcm[std::size_t(i)] = 0;
        pcm[kPeakFrame] = -32768;
        for (int w = first_loud; w < kWindows; ++w)
            gains[std::size_t(w)] += kLoudness[w] - window_db(pcm, w);
        for (int w = 0; w < first_loud; ++w)
            gains[std::size_t(w)] = gains[first_loud];
    }

    // A faint onset from 0.089 s: single steps of one level, far below the
    // silence line of its window.
    for (int i = int(0.089 * rate) + 1; i < int(0.100 * rate); i += 9)
        pcm[std::size_t(i)] = std::int16_t((i / 9) % 2 ? 1 : -1);

    for (int w = 0; w < kWindows; ++w) {
        const double got = window_db(pcm, w);
        const bool ok = kLoudness[w] == kSilent ? got < -90 : std::abs(got - kLoudness[w]) <= 0.5;
        if (!ok)
            fail("sound window " + std::to_string(w) + " is " + std::to_string(got) + " dB");
    }
    for (int i = int(4.073 * rate) + 1; i < kFrames; ++i)
        if (std::abs(int(pcm[std::size_t(i)])) >= 100)
            fail("the sound's tail is too loud at frame " + std::to_string(i));
    return pcm;
}

} // namespace gen
