// SPDX-License-Identifier: GPL-2.0-or-later
#include "audio/AudioAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaranth::host {
namespace {

class AudioAnalysisTest : public ::testing::Test {
protected:
    void sine(int channel, double hz, double amplitude, int32_t rate) {
        audio.sampleRate = rate;
        for (std::size_t i = 0; i < audioBlockFrames; ++i)
            audio.samples[static_cast<std::size_t>(channel)][i] =
                static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate)));
    }
    void analyse() { analysis.analyse(audio, spectrum, waveform); }
    int loudestEntry(int channel) const {
        return static_cast<int>(std::max_element(spectrum[channel], spectrum[channel] + 512) - spectrum[channel]);
    }
    // The largest entry more than `distance` bins away from the given frequency.
    int largestAwayFrom(int channel, double bin, double distance) const {
        int largest = 0;
        for (int entry = 0; entry < 512; ++entry)
            if (std::abs(entry / 2 - bin) > distance) largest = std::max<int>(largest, spectrum[channel][entry]);
        return largest;
    }

    AudioAnalysis analysis;
    AudioBlock audio;
    uint8_t spectrum[2][spectrumEntries] = {};
    uint8_t waveform[2][spectrumEntries] = {};
};

TEST_F(AudioAnalysisTest, OneKilohertzLandsInItsEntriesAt44100) {
    sine(0, 1000.0, 16000.0, 44100);  // bin 11.6: entries 22 to 25
    analyse();
    const int peak = loudestEntry(0);
    EXPECT_GE(peak, 22);
    EXPECT_LE(peak, 25);
    EXPECT_NEAR(spectrum[0][peak], 42, 2) << "a sine 6 dB under full scale, between two bins";
    EXPECT_LE(largestAwayFrom(0, 1000.0 * 512 / 44100, 4.0), 12);
}

TEST_F(AudioAnalysisTest, OneKilohertzLandsInItsEntriesAt48000) {
    sine(0, 1000.0, 16000.0, 48000);  // bin 10.7: entries 20 to 23
    sine(1, 1000.0, 16000.0, 48000);
    analyse();
    for (int channel = 0; channel < 2; ++channel) {
        const int peak = loudestEntry(channel);
        EXPECT_GE(peak, 20);
        EXPECT_LE(peak, 23);
        EXPECT_LE(largestAwayFrom(channel, 1000.0 * 512 / 48000, 4.0), 12);
    }
}

TEST_F(AudioAnalysisTest, EveryBinFillsTwoNeighbouringEntries) {
    sine(0, 3000.0, 12000.0, 44100);
    sine(1, 7000.0, 12000.0, 44100);
    analyse();
    for (int channel = 0; channel < 2; ++channel)
        for (int bin = 0; bin < 256; ++bin) EXPECT_EQ(spectrum[channel][2 * bin], spectrum[channel][2 * bin + 1]);
    EXPECT_NE(loudestEntry(0) / 2, loudestEntry(1) / 2);
}

// A sine centred on bin 32, so that all of it lands in that bin.
TEST_F(AudioAnalysisTest, LevelsClimbEightForEveryTenDecibelsAboveTheFloor) {
    const double centred = 32.0 * 44100 / 512;
    const struct {
        double decibels;
        int level;
    } steps[] = {{0.0, 48}, {-10.0, 40}, {-30.0, 24}, {-50.0, 8}, {-58.0, 1}, {-62.0, 0}, {-90.0, 0}};
    for (const auto& step : steps) {
        sine(0, centred, 32767.0 * std::pow(10.0, step.decibels / 20.0), 44100);
        analyse();
        EXPECT_NEAR(spectrum[0][64], step.level, 1) << step.decibels << " dB";
        EXPECT_EQ(spectrum[0][64], spectrum[0][65]);
    }
}

TEST_F(AudioAnalysisTest, TheLoudestInputStaysWithinTheByte) {
    const double centred = 32.0 * 44100 / 512;
    sine(0, centred, 32767.0, 44100);
    for (std::size_t i = 0; i < audioBlockFrames; ++i) {
        audio.samples[1][i] = audio.samples[0][i] >= 0 ? 32767 : -32768;  // full-scale square: +2 dB
        audio.samples[0][i] = -32768;                                      // full-scale DC: +6 dB
    }
    analyse();
    EXPECT_NEAR(spectrum[0][0], 52, 1);
    EXPECT_NEAR(spectrum[1][64], 49, 1);
}

TEST_F(AudioAnalysisTest, SilenceGivesZeroes) {
    audio.silence();
    analyse();
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < spectrumEntries; ++i) {
            EXPECT_EQ(spectrum[channel][i], 0) << i;
            EXPECT_EQ(waveform[channel][i], 0) << i;
        }
}

TEST_F(AudioAnalysisTest, TailDecaysFromTheLastEntryToNothing) {
    sine(0, 255.0 * 44100 / 512, 30000.0, 44100);  // on the last bin before half the sample rate
    analyse();
    ASSERT_GT(spectrum[0][511], 0);
    EXPECT_LE(spectrum[0][512], spectrum[0][511]);
    for (int i = 513; i < spectrumEntries; ++i) EXPECT_LE(spectrum[0][i], spectrum[0][i - 1]) << i;
    EXPECT_EQ(spectrum[0][575], 0);
}

TEST_F(AudioAnalysisTest, WaveformIsTheHighByteOfEachSample) {
    const int16_t samples[] = {0, 255, 256, -1, -256, 32767, -32768, 0x1234, -0x1234};
    const uint8_t bytes[] = {0x00, 0x00, 0x01, 0xFF, 0xFF, 0x7F, 0x80, 0x12, 0xED};
    audio.silence();
    for (std::size_t i = 0; i < std::size(samples); ++i) {
        audio.samples[0][i] = samples[i];
        audio.samples[1][audioBlockFrames - 1 - i] = samples[i];
    }
    analyse();
    for (std::size_t i = 0; i < std::size(samples); ++i) {
        EXPECT_EQ(waveform[0][i], bytes[i]) << i;
        EXPECT_EQ(waveform[1][audioBlockFrames - 1 - i], bytes[i]) << i;
    }
}

TEST_F(AudioAnalysisTest, ChannelsAreAnalysedApart) {
    audio.silence();
    sine(0, 1000.0, 16000.0, 44100);
    analyse();
    EXPECT_GT(spectrum[0][loudestEntry(0)], 0);
    EXPECT_EQ(*std::max_element(spectrum[1], spectrum[1] + spectrumEntries), 0);
}

} // namespace
} // namespace tessaranth::host
