// play_sound on its own, for the sound tests: plays a WAV file (or the
// program's smash sound) at given moments, then stops everything.
//
//   sound_probe [--loop] [--at MS]... [--stop-after MS] (FILE | --asset)
//   sound_probe --dump-asset FILE     writes the smash sound's WAV file
//
// Without --stop-after it stops at once after the last call.
// Prints "play <true|false> <microseconds the call took> <CLOCK_MONOTONIC ns>"
// per call and "stopped <ms>" once stop_all_sounds has returned.
#include "platform/byte_block.h"
#include "platform/sound.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef EGGDRAW_HAVE_ASSETS
#include "media/assets.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> read_as_block(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint8_t> block(8);
    const auto n = std::uint32_t(file.size());
    const std::uint8_t head[8] = {1,
                                  0,
                                  0,
                                  0,
                                  std::uint8_t(n),
                                  std::uint8_t(n >> 8),
                                  std::uint8_t(n >> 16),
                                  std::uint8_t(n >> 24)};
    std::memcpy(block.data(), head, 8);
    block.insert(block.end(), file.begin(), file.end());
    return block;
}

} // namespace

int main(int argc, char** argv) {
    bool loop = false;
    std::vector<int> moments;
    int stop_after = -1;
    const char* path = nullptr;
    bool asset = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--loop") {
            loop = true;
        } else if (arg == "--at" && i + 1 < argc) {
            moments.push_back(std::stoi(argv[++i]));
        } else if (arg == "--stop-after" && i + 1 < argc) {
            stop_after = std::stoi(argv[++i]);
        } else if (arg == "--asset") {
            asset = true;
        } else if (arg == "--dump-asset" && i + 1 < argc) {
#ifdef EGGDRAW_HAVE_ASSETS
            const auto bytes = block_bytes(smash_sound);
            std::ofstream(argv[++i], std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            return 0;
#else
            return 2;
#endif
        } else {
            path = argv[i];
        }
    }
    std::vector<std::uint8_t> loaded;
    ByteBlock block = nullptr;
    if (asset) {
#ifdef EGGDRAW_HAVE_ASSETS
        block = smash_sound;
#else
        return 2;
#endif
    } else if (path) {
        loaded = read_as_block(path);
        block = loaded.data();
    } else {
        std::fprintf(stderr, "usage: sound_probe [--loop] [--at MS]... [--stop-after MS] FILE\n");
        return 1;
    }
    if (moments.empty())
        moments.push_back(0);
    const auto start = Clock::now();
    for (int at : moments) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(at));
        const auto before = Clock::now();
        const bool ok = play_sound(block, loop);
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before);
        std::printf("play %s %lld %lld\n", ok ? "true" : "false", (long long)took.count(),
                    (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(
                        before.time_since_epoch())
                        .count());
        std::fflush(stdout);
    }
    if (stop_after >= 0)
        std::this_thread::sleep_until(start + std::chrono::milliseconds(stop_after));
    const auto before = Clock::now();
    stop_all_sounds();
    std::printf("stopped %lld\n", (long long)std::chrono::duration_cast<std::chrono::milliseconds>(
                                      Clock::now() - before)
                                      .count());
    return 0;
}
