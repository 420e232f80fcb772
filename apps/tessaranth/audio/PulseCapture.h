// SPDX-License-Identifier: GPL-2.0-or-later
// Records what the sound server plays, from the default sink's monitor or a named source, with
// PulseAudio's simple client library (PipeWire serves it too through pipewire-pulse). A thread of
// its own reads 10 ms blocks into a ring of the latest 576 frames; a frame copies the ring when it
// is free at that moment. When the server is missing or goes away the capture says so once,
// gives silence and connects again every second.
#pragma once

#include "ContactReport.h"
#include "audio/AudioSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace tessaranth::host {

constexpr int32_t captureSampleRate = 44100;
// Frames per read: 10 ms, so the bars follow the sound.
constexpr uint32_t captureBlockFrames = 441;

class PulseCapture : public AudioSource {
public:
    // source: the server's source to record; empty: the default sink's monitor. sink: where the
    // reports of lost and regained contact go (stderr when empty). The capture thread holds the
    // sink, and a thread stuck in the server past the destructor's wait is left running and may
    // still report: the sink must own (or share) whatever it writes to, never point at an
    // object the caller destroys.
    explicit PulseCapture(std::string source, ContactReport::Sink sink = {});
    ~PulseCapture() override;
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    void fill(AudioBlock& block, bool playing) override;
    // Blocks read since the start.
    uint64_t blocksHeard() const;

private:
    struct Shared;
    static void capture(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    AudioBlock lastHeard_;  // the frame thread's copy of the ring
};

} // namespace tessaranth::host
