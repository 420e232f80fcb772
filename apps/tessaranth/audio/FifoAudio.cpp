// SPDX-License-Identifier: GPL-2.0-or-later
#include "audio/FifoAudio.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessaranth::host {

namespace {
constexpr std::size_t frameBytes = 4;
} // namespace

FifoAudio::FifoAudio(std::string path) : path_(std::move(path)) {}

FifoAudio::~FifoAudio() {
    if (fd_ >= 0) close(fd_);
}

bool FifoAudio::open() {
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd_ >= 0;
}

void FifoAudio::read() {
    if (fd_ < 0) return;
    uint8_t buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count > 0) {
            keep(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        return;  // empty (EAGAIN), no writer (0) or an error: nothing more now
    }
}

void FifoAudio::keep(const uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        partial_[partialCount_++] = bytes[i];
        if (partialCount_ < frameBytes) continue;
        partialCount_ = 0;
        std::memcpy(&history_[2 * next_], partial_.data(), frameBytes);
        next_ = (next_ + 1) % audioBlockFrames;
    }
}

void FifoAudio::drain() {
    read();
    history_.fill(0);
}

void FifoAudio::fill(AudioBlock& block, bool playing) {
    block.sampleRate = fifoSampleRate;
    block.channels = 2;
    if (open()) {
        if (playing && !wasPlaying_) drain();
        else read();
    }
    wasPlaying_ = playing;
    if (playing && isOpen()) latest(block);
    else block.silence();
}

void FifoAudio::latest(AudioBlock& block) const {
    for (std::size_t i = 0; i < audioBlockFrames; ++i) {
        const std::size_t frame = (next_ + i) % audioBlockFrames;
        block.samples[0][i] = history_[2 * frame];
        block.samples[1][i] = history_[2 * frame + 1];
    }
}

} // namespace tessaranth::host
