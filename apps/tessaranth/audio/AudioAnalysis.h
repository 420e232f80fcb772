// SPDX-License-Identifier: GPL-2.0-or-later
// Turns the latest audio into the player's visualisation data: per channel 576 spectrum bytes
// (a Hann-windowed 512-point FFT, each bin's level on a logarithmic scale over 60 dB, 0 for
// silence and 48 for a full-scale sine, in two neighbouring entries, then a decaying tail) and
// 576 waveform bytes (the high byte of each sample).
#pragma once

#include "audio/AudioBlock.h"

#include <cstdint>

namespace tessaranth::host {

constexpr int fftSize = 512;
constexpr int spectrumEntries = 576;

class AudioAnalysis {
public:
    AudioAnalysis();
    ~AudioAnalysis();
    AudioAnalysis(const AudioAnalysis&) = delete;
    AudioAnalysis& operator=(const AudioAnalysis&) = delete;

    void analyse(const AudioBlock& audio, uint8_t (&spectrum)[2][spectrumEntries],
                 uint8_t (&waveform)[2][spectrumEntries]);

private:
    void analyseChannel(const int16_t* samples, uint8_t* spectrum);

    double* input_;
    void* output_;  // fftw_complex[fftSize / 2 + 1]
    void* plan_;
    double window_[fftSize];
};

} // namespace tessaranth::host
