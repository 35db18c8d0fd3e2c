// Sound through PulseAudio's simple API: one worker thread and one stream per
// playback, so playbacks overlap and are mixed by the server, and nothing of a
// playback runs on the interface thread.
#include "platform/sound.h"
#include "platform/wav.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Playback {
    std::vector<std::uint8_t> samples;
    pa_sample_spec spec{};
    std::uint32_t frame_bytes = 0;
    bool loop = false;
    std::atomic<bool> stop{false};
};

// Every playback still running; stop_all_sounds waits for this to empty.
struct Registry {
    std::mutex mutex;
    std::condition_variable ended;
    std::list<std::shared_ptr<Playback>> running;
};

Registry& registry() {
    // Never destroyed: a worker that outlives a stalled server may still touch
    // it while the process exits.
    static Registry* r = new Registry;
    return *r;
}

struct SimpleGuard {
    pa_simple* stream = nullptr;
    ~SimpleGuard() {
        if (stream)
            pa_simple_free(stream);
    }
};

// Removes the playback from the registry when its worker ends, on every path.
struct RunningGuard {
    std::shared_ptr<Playback> playback;
    ~RunningGuard() {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.running.remove(playback);
        r.ended.notify_all();
    }
};

pa_sample_format_t pulse_format(SampleFormat format) {
    switch (format) {
    case SampleFormat::u8:
        return PA_SAMPLE_U8;
    case SampleFormat::s16le:
        return PA_SAMPLE_S16LE;
    case SampleFormat::s24le:
        return PA_SAMPLE_S24LE;
    case SampleFormat::s32le:
        return PA_SAMPLE_S32LE;
    case SampleFormat::f32le:
        return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

void play(std::shared_ptr<Playback> playback) {
    RunningGuard running{playback};
    const std::uint32_t second = playback->frame_bytes * playback->spec.rate;
    // A short server-side queue keeps a stop prompt: every write waits for at
    // most one chunk's worth of room, and the flag is looked at between chunks.
    pa_buffer_attr attr;
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::max<std::uint32_t>(second / 5, playback->frame_bytes);
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(-1);
    SimpleGuard guard;
    int error = 0;
    guard.stream = pa_simple_new(nullptr, "eggdraw", PA_STREAM_PLAYBACK, nullptr, "sound",
                                 &playback->spec, nullptr, &attr, &error);
    if (!guard.stream)
        return; // no server, or it refused: the playback ends silently
    const std::size_t chunk =
        std::max<std::size_t>(second / 50 / playback->frame_bytes, 1) * playback->frame_bytes;
    const std::vector<std::uint8_t>& samples = playback->samples;
    do {
        for (std::size_t at = 0; at < samples.size(); at += chunk) {
            if (playback->stop.load())
                break;
            const std::size_t n = std::min(chunk, samples.size() - at);
            if (pa_simple_write(guard.stream, samples.data() + at, n, &error) < 0)
                return;
        }
    } while (playback->loop && !playback->stop.load());
    if (playback->stop.load())
        pa_simple_flush(guard.stream, &error); // cut off what the server still queues
    else
        pa_simple_drain(guard.stream, &error);
}

} // namespace

bool play_sound(ByteBlock block, bool loop) {
    if (!block)
        return false;
    WavInfo info;
    if (!parse_wav(block_bytes(block), info))
        return false;
    auto playback = std::make_shared<Playback>();
    playback->spec.format = pulse_format(info.format);
    playback->spec.channels = std::uint8_t(info.channels);
    playback->spec.rate = info.rate;
    if (!pa_sample_spec_valid(&playback->spec))
        return false;
    playback->frame_bytes = info.frame_bytes;
    playback->samples.assign(info.samples.begin(), info.samples.end());
    playback->loop = loop;
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        r.running.push_back(playback);
    }
    try {
        std::thread(play, playback).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(r.mutex);
        r.running.remove(playback);
        return false;
    }
    return true;
}

void stop_all_sounds() {
    Registry& r = registry();
    std::unique_lock lock(r.mutex);
    for (auto& playback : r.running)
        playback->stop.store(true);
    // A server that stops answering may hold a worker inside a write for good;
    // the program still ends, leaving that worker to the process exit.
    r.ended.wait_for(lock, std::chrono::seconds(2), [&] { return r.running.empty(); });
}
