// SPDX-License-Identifier: GPL-2.0-or-later
// Music for the demo player, computed from the song and the sample number alone: chords, a bass
// line and a beat in the song's key and tempo, with half a second of silence at the start of
// every song and a second and a half at its end, so the songs stand apart.
#pragma once

#include "audio/AudioBlock.h"
#include "players/DemoPlaylist.h"

#include <cstdint>

namespace tessaranth::host {

constexpr double leadInSeconds = 0.5;
constexpr double tailSeconds = 1.5;

struct StereoSample {
    double left;
    double right;
};

class Synthesizer {
public:
    // The sample at index n (n / sampleRate seconds into the song), each channel in -1..1.
    static StereoSample sample(const DemoTrack& track, int64_t n);
    // Fills audio with the 576 samples that end just before sample index end.
    static void render(const DemoTrack& track, int64_t end, AudioBlock& audio);

private:
    static StereoSample music(const DemoTrack& track, double t, int64_t n);
};

} // namespace tessaranth::host
