// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/Synthesizer.h"

#include <cmath>
#include <numbers>

namespace tessaranth::host {

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;
constexpr double fadeSeconds = 0.3;

// Chord roots (semitones above the key) and whether the chord is minor, one per bar.
struct Chord {
    int root;
    bool minor;
};
constexpr Chord majorProgression[4] = {{0, false}, {7, false}, {9, true}, {5, false}};
constexpr Chord minorProgression[4] = {{0, true}, {8, false}, {3, false}, {10, false}};

double frequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

// Deterministic white noise in -1..1.
double noise(int64_t n) {
    auto x = static_cast<uint64_t>(n) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 29;
    return static_cast<double>(x >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

// A tone with a few overtones, so that chords reach into the treble.
double tone(double hz, double t) {
    return std::sin(twoPi * hz * t) + 0.35 * std::sin(twoPi * 2.0 * hz * t) + 0.2 * std::sin(twoPi * 3.0 * hz * t) +
           0.12 * std::sin(twoPi * 5.0 * hz * t);
}

// How loud the song is at time t: silent before the lead-in and in the tail, faded in between.
double gate(double t, double length) {
    const double end = length - tailSeconds;
    if (t < leadInSeconds || t >= end) return 0.0;
    const double in = (t - leadInSeconds) / fadeSeconds;
    const double out = (end - t) / fadeSeconds;
    return std::fmin(1.0, std::fmin(in, out));
}

} // namespace

StereoSample Synthesizer::music(const DemoTrack& track, double t, int64_t n) {
    const double beat = 60.0 / track.tempo;
    const double inBar = std::fmod(t, 4.0 * beat);
    const int beatIndex = static_cast<int>(inBar / beat);
    const double sinceBeat = inBar - beatIndex * beat;
    const double sinceSixteenth = std::fmod(t, beat / 4.0);
    const double bars = std::floor(t / (4.0 * beat));
    const Chord chord = (track.minor ? minorProgression : majorProgression)[static_cast<int64_t>(bars) % 4];
    const double root = track.rootNote + chord.root;

    const double pad = 0.10 * (1.0 - 0.4 * sinceBeat / beat);
    const double third = pad * tone(frequency(root + (chord.minor ? 3 : 4)), t);
    const double rootAndFifth = pad * (tone(frequency(root), t) + tone(frequency(root + 7), t));
    const double bass = 0.22 * std::exp(-3.0 * sinceBeat) * std::sin(twoPi * frequency(root - 24) * t);
    const double kickSweep = 50.0 * sinceBeat + 70.0 / 12.0 * (1.0 - std::exp(-12.0 * sinceBeat));
    const double kick = beatIndex % 2 == 0 ? 0.45 * std::exp(-14.0 * sinceBeat) * std::sin(twoPi * kickSweep) : 0.0;
    const double snare = beatIndex % 2 == 1 ? 0.22 * std::exp(-22.0 * sinceBeat) * noise(n) : 0.0;
    const double hat = 0.12 * std::exp(-40.0 * sinceSixteenth) * (noise(n) - noise(n - 1));

    const double centre = bass + kick + snare;
    return {centre + 1.1 * rootAndFifth + 0.7 * third + 0.6 * hat, centre + 0.7 * rootAndFifth + 1.1 * third + hat};
}

StereoSample Synthesizer::sample(const DemoTrack& track, int64_t n) {
    const double t = static_cast<double>(n) / track.sampleRate;
    const double level = gate(t, track.lengthSeconds);
    if (level == 0.0) return {0.0, 0.0};
    StereoSample s = music(track, t - leadInSeconds, n);
    if (track.channels == 1) s.left = s.right = (s.left + s.right) / 2.0;
    return {std::tanh(level * s.left), std::tanh(level * s.right)};
}

void Synthesizer::render(const DemoTrack& track, int64_t end, AudioBlock& audio) {
    audio.sampleRate = track.sampleRate;
    audio.channels = track.channels;
    const auto start = end - static_cast<int64_t>(audioBlockFrames);
    for (std::size_t i = 0; i < audioBlockFrames; ++i) {
        const StereoSample s = sample(track, start + static_cast<int64_t>(i));
        audio.samples[0][i] = static_cast<int16_t>(std::lround(s.left * 32000.0));
        audio.samples[1][i] = static_cast<int16_t>(std::lround(s.right * 32000.0));
    }
}

} // namespace tessaranth::host
