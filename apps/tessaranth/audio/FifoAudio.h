// SPDX-License-Identifier: GPL-2.0-or-later
// The audio a player writes into a FIFO (MPD's "fifo" output with format "44100:16:2": 16-bit
// signed stereo, native byte order): read without blocking, keeping only the most recent 576
// frames. What waited in the FIFO while the player was not playing is thrown away when it starts.
#pragma once

#include "audio/AudioSource.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessaranth::host {

constexpr int32_t fifoSampleRate = 44100;

class FifoAudio : public AudioSource {
public:
    explicit FifoAudio(std::string path);
    ~FifoAudio() override;
    FifoAudio(const FifoAudio&) = delete;
    FifoAudio& operator=(const FifoAudio&) = delete;

    // Opens the FIFO when it is not open yet (it may not exist until the player creates it);
    // returns whether it is open.
    bool open();
    // Reads everything waiting in the FIFO into the history.
    void read();
    // Throws away what waits in the FIFO and the history: it is stale audio.
    void drain();
    // The latest 576 frames, oldest first.
    void latest(AudioBlock& block) const;
    bool isOpen() const { return fd_ >= 0; }
    void fill(AudioBlock& block, bool playing) override;

private:
    void keep(const uint8_t* bytes, std::size_t count);

    std::string path_;
    int fd_ = -1;
    std::array<int16_t, 2 * audioBlockFrames> history_{};  // interleaved frames, a ring
    std::size_t next_ = 0;                                 // frame index the next frame goes to
    std::array<uint8_t, 4> partial_{};                     // bytes of a frame not complete yet
    std::size_t partialCount_ = 0;
    bool wasPlaying_ = false;
};

} // namespace tessaranth::host
