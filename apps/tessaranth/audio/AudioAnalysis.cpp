// SPDX-License-Identifier: GPL-2.0-or-later
#include "audio/AudioAnalysis.h"

#include <fftw3.h>

#include <cmath>
#include <numbers>

namespace tessaranth::host {

namespace {

constexpr int tailStart = 2 * (fftSize / 2);  // entries 0..511 hold bins 0..255
constexpr int tailLength = spectrumEntries - tailStart;
constexpr double fullScale = 32768.0;

// A bin's level counts the decibels by which it stands above a floor 60 dB under a full-scale
// sine centred on the bin, 0.8 levels per decibel: that sine gives 48, a bin 30 dB down gives 24,
// and a bin at or under the floor, silence too, gives 0. Music then spans the range that the
// analyzer's sensitivity is made for (at the default sensitivity a 16-pixel bar is full at about
// -33 dB). The loudest 16-bit input, full-scale DC, stands 6 dB over the sine and gives 52.
constexpr double floorDecibels = -60.0;
constexpr double levelsPerDecibel = 0.8;
const double floorMagnitude = std::pow(10.0, floorDecibels / 20.0);

uint8_t level(double magnitude) {
    if (magnitude <= floorMagnitude) return 0;
    return static_cast<uint8_t>((20.0 * std::log10(magnitude) - floorDecibels) * levelsPerDecibel);
}

fftw_complex* bins(void* output) { return static_cast<fftw_complex*>(output); }

} // namespace

AudioAnalysis::AudioAnalysis()
    : input_(fftw_alloc_real(fftSize)), output_(fftw_alloc_complex(fftSize / 2 + 1)),
      plan_(fftw_plan_dft_r2c_1d(fftSize, input_, bins(output_), FFTW_ESTIMATE)) {
    for (int i = 0; i < fftSize; ++i) window_[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / fftSize);
}

AudioAnalysis::~AudioAnalysis() {
    fftw_destroy_plan(static_cast<fftw_plan>(plan_));
    fftw_free(bins(output_));
    fftw_free(input_);
}

void AudioAnalysis::analyse(const AudioBlock& audio, uint8_t (&spectrum)[2][spectrumEntries],
                               uint8_t (&waveform)[2][spectrumEntries]) {
    for (int channel = 0; channel < 2; ++channel) {
        const int16_t* samples = audio.samples[static_cast<std::size_t>(channel)].data();
        for (int i = 0; i < spectrumEntries; ++i)
            waveform[channel][i] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) >> 8);
        analyseChannel(samples + (audioBlockFrames - fftSize), spectrum[channel]);
    }
}

// Magnitudes are taken relative to a full-scale sine centred on a bin: its magnitude is
// amplitude * sum(window) / 2, and the periodic Hann window of 512 points sums to 256.
void AudioAnalysis::analyseChannel(const int16_t* samples, uint8_t* spectrum) {
    for (int i = 0; i < fftSize; ++i) input_[i] = samples[i] * window_[i];
    fftw_execute(static_cast<fftw_plan>(plan_));
    const double scale = 2.0 / (fftSize / 2.0) / fullScale;
    for (int bin = 0; bin < fftSize / 2; ++bin) {
        const uint8_t value = level(std::hypot(bins(output_)[bin][0], bins(output_)[bin][1]) * scale);
        spectrum[2 * bin] = value;
        spectrum[2 * bin + 1] = value;
    }
    const int last = spectrum[tailStart - 1];
    for (int i = 0; i < tailLength; ++i)
        spectrum[tailStart + i] = static_cast<uint8_t>(last * (tailLength - 1 - i) / tailLength);
}

} // namespace tessaranth::host
