// SPDX-License-Identifier: GPL-2.0-or-later
#include "audio/PulseCapture.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tessaranth::host {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto retryPause = std::chrono::seconds(1);
// Audio older than this is no longer what plays: the server has stopped sending.
constexpr auto staleAfter = std::chrono::milliseconds(250);
// How long the destructor waits for the capture thread; a server that hangs in a read keeps
// the thread, which then ends with the program or when the read returns. Everything it uses, its
// report's sink included, it holds itself (Shared).
constexpr auto stopWait = std::chrono::milliseconds(500);

std::string describe(const std::string& source) {
    return source.empty() ? "the sound server (default sink's monitor)" : "the sound server's source " + source;
}

} // namespace

struct PulseCapture::Shared {
    Shared(std::string name, ContactReport::Sink sink)
        : source(std::move(name)),
          report(describe(source), "showing silence and trying again every second", std::move(sink)) {}

    const std::string source;
    ContactReport report;  // the capture thread's
    std::mutex mutex;
    std::array<int16_t, 2 * audioBlockFrames> ring{};  // interleaved frames; guarded by mutex
    std::size_t next = 0;                              // guarded by mutex
    Clock::time_point heardAt;                         // guarded by mutex
    std::atomic<uint64_t> blocks = 0;
    std::condition_variable wake;                      // with mutex: stop requested, thread ended
    bool stopping = false;                             // guarded by mutex
    bool ended = false;                                // guarded by mutex

    void keep(const int16_t* frames, std::size_t count) {
        const std::lock_guard lock(mutex);
        for (std::size_t i = 0; i < count; ++i) {
            ring[2 * next] = frames[2 * i];
            ring[2 * next + 1] = frames[2 * i + 1];
            next = (next + 1) % audioBlockFrames;
        }
        heardAt = Clock::now();
        ++blocks;
    }
    bool stopRequested() {
        const std::lock_guard lock(mutex);
        return stopping;
    }
    // Waits out the pause between tries; false when the capture is to stop.
    bool pause() {
        std::unique_lock lock(mutex);
        return !wake.wait_for(lock, retryPause, [this] { return stopping; });
    }
};

PulseCapture::PulseCapture(std::string source, ContactReport::Sink sink)
    : shared_(std::make_shared<Shared>(std::move(source), std::move(sink))) {
    thread_ = std::thread(capture, shared_);
}

PulseCapture::~PulseCapture() {
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->wake.notify_all();
    const bool ended = shared_->wake.wait_for(lock, stopWait, [this] { return shared_->ended; });
    lock.unlock();
    if (ended) thread_.join();
    else thread_.detach();
}

void PulseCapture::capture(const std::shared_ptr<Shared>& shared) {
    const pa_sample_spec spec{PA_SAMPLE_S16NE, captureSampleRate, 2};
    constexpr uint32_t blockBytes = captureBlockFrames * 2 * sizeof(int16_t);
    // A small fragment: the server's default sends a recording in blocks of up to two seconds.
    const pa_buffer_attr attributes{UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX, blockBytes};
    std::array<int16_t, 2 * captureBlockFrames> block{};
    const char* device = shared->source.empty() ? "@DEFAULT_MONITOR@" : shared->source.c_str();
    do {
        int error = 0;
        pa_simple* stream = pa_simple_new(nullptr, "tessaranth", PA_STREAM_RECORD, device, "visualisation", &spec,
                                          nullptr, &attributes, &error);
        if (!stream) {
            shared->report.failed(pa_strerror(error));
            continue;
        }
        shared->report.reached();
        while (!shared->stopRequested()) {
            if (pa_simple_read(stream, block.data(), blockBytes, &error) < 0) {
                shared->report.failed(pa_strerror(error));
                break;
            }
            shared->keep(block.data(), captureBlockFrames);
        }
        pa_simple_free(stream);
    } while (!shared->stopRequested() && shared->pause());
    const std::lock_guard lock(shared->mutex);
    shared->ended = true;
    shared->wake.notify_all();
}

void PulseCapture::fill(AudioBlock& block, bool playing) {
    block.sampleRate = captureSampleRate;
    block.channels = 2;
    if (!playing) {
        block.silence();
        return;
    }
    if (std::unique_lock lock(shared_->mutex, std::try_to_lock); lock) {
        if (Clock::now() - shared_->heardAt > staleAfter) {
            lastHeard_.silence();
        } else {
            for (std::size_t i = 0; i < audioBlockFrames; ++i) {
                const std::size_t frame = (shared_->next + i) % audioBlockFrames;
                lastHeard_.samples[0][i] = shared_->ring[2 * frame];
                lastHeard_.samples[1][i] = shared_->ring[2 * frame + 1];
            }
        }
    }
    block.samples = lastHeard_.samples;
}

uint64_t PulseCapture::blocksHeard() const { return shared_->blocks; }

} // namespace tessaranth::host
