// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DemoPlayer.h"
#include "audio/AudioAnalysis.h"
#include "players/Synthesizer.h"

#include <gtest/gtest.h>

#include <set>

namespace tessaranth::host {
namespace {

bool silent(const AudioBlock& block) {
    for (const auto& channel : block.samples)
        for (int16_t sample : channel)
            if (sample != 0) return false;
    return true;
}

TEST(DemoPlayerTest, StartsPlayingTheFirstSong) {
    DemoPlayer player;
    const PlayerState& s = player.state();
    EXPECT_EQ(s.playlist.size(), 12u);
    EXPECT_EQ(s.current, 0);
    EXPECT_EQ(s.playState, PlayState::playing);
    EXPECT_EQ(s.lengthSeconds, 245);
    player.update(2500);
    EXPECT_EQ(s.positionMillis, 2500);
}

TEST(DemoPlayerTest, FollowsTheScheduleThroughARound) {
    DemoPlayer player;
    const PlayerState& s = player.state();
    player.update(3000);
    EXPECT_EQ(s.current, 1);
    EXPECT_EQ(s.positionMillis, 0);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.sampleRate, 22050);
    player.update(7000);
    EXPECT_EQ(s.playState, PlayState::paused);
    EXPECT_EQ(s.positionMillis, 3000);  // frozen at the pause
    player.update(9000);
    EXPECT_EQ(s.playState, PlayState::playing);
    EXPECT_EQ(s.positionMillis, 4000);
    player.update(10500);
    EXPECT_TRUE(s.shuffle);
    player.update(11000);
    EXPECT_NE(s.current, 1);
    player.update(15000);
    EXPECT_TRUE(s.repeat);
    EXPECT_EQ(s.playState, PlayState::stopped);
    EXPECT_EQ(s.positionMillis, 0);
    player.update(18000);
    EXPECT_EQ(s.playState, PlayState::playing);
    EXPECT_EQ(s.positionMillis, 1000);  // a stopped song starts again from the beginning
    player.update(21500);
    EXPECT_FALSE(s.shuffle);
    player.update(22000);
    const int32_t before = s.current;
    EXPECT_EQ(s.positionMillis, s.lengthSeconds * 1000 - seekLeadMillis);
    player.update(25500);  // the song ended at 25000 and the next one began
    EXPECT_EQ(s.current, (before + 1) % 12);
    EXPECT_EQ(s.positionMillis, 500);
    player.update(26000);
    EXPECT_FALSE(s.repeat);
    player.update(27000);
    EXPECT_EQ(s.current, (before + 2) % 12);
}

TEST(DemoPlayerTest, EveryFieldMovesWithinARound) {
    DemoPlayer player;
    std::set<int> states, shuffle, repeat, songs, rates, bitrates, channels, lengths;
    int32_t lastPosition = 0;
    int advances = 0;
    for (int64_t t = 0; t < demoRoundMillis; t += 60) {
        player.update(t);
        const PlayerState& s = player.state();
        states.insert(static_cast<int>(s.playState));
        shuffle.insert(s.shuffle);
        repeat.insert(s.repeat);
        songs.insert(s.current);
        rates.insert(s.sampleRate);
        bitrates.insert(s.bitrate);
        channels.insert(s.channels);
        lengths.insert(s.lengthSeconds);
        advances += s.positionMillis > lastPosition;
        lastPosition = s.positionMillis;
    }
    EXPECT_EQ(states, (std::set<int>{0, 1, 3}));
    EXPECT_EQ(shuffle.size(), 2u);
    EXPECT_EQ(repeat.size(), 2u);
    EXPECT_GE(songs.size(), 5u);
    EXPECT_GE(rates.size(), 2u);
    EXPECT_GE(bitrates.size(), 3u);
    EXPECT_EQ(channels, (std::set<int>{1, 2}));
    EXPECT_GE(lengths.size(), 4u);
    EXPECT_GT(advances, 300);
}

TEST(DemoPlayerTest, RoundsRepeat) {
    DemoPlayer player;
    player.update(demoRoundMillis + 3000);  // the second round's first "next"
    player.update(demoRoundMillis + 7000);
    EXPECT_EQ(player.state().playState, PlayState::paused);
}

TEST(DemoPlayerTest, TimeNeverRunsBackwards) {
    DemoPlayer player;
    player.update(5000);
    const PlayerState copy = player.state();
    player.update(1000);
    EXPECT_EQ(player.state().current, copy.current);
    EXPECT_EQ(player.state().positionMillis, copy.positionMillis);
}

constexpr ScheduledAction onlyPlay[] = {{0, DemoAction::play}};

TEST(DemoPlayerTest, LastSongEndsPlaybackUnlessRepeatIsOn) {
    DemoPlayer player(onlyPlay, 1000000);
    for (int i = 0; i < 11; ++i) player.apply(DemoAction::next);
    ASSERT_EQ(player.state().current, 11);
    player.apply(DemoAction::seekNearEnd);
    player.update(seekLeadMillis + 100);
    EXPECT_EQ(player.state().playState, PlayState::stopped);
    EXPECT_EQ(player.state().current, 11);

    DemoPlayer repeating(onlyPlay, 1000000);
    for (int i = 0; i < 11; ++i) repeating.apply(DemoAction::next);
    repeating.apply(DemoAction::repeatOn);
    repeating.apply(DemoAction::seekNearEnd);
    repeating.update(seekLeadMillis + 100);
    EXPECT_EQ(repeating.state().playState, PlayState::playing);
    EXPECT_EQ(repeating.state().current, 0);
    EXPECT_EQ(repeating.state().positionMillis, 100);
}

TEST(DemoPlayerTest, ShuffleNeverPicksTheSameSongAgain) {
    DemoPlayer player(onlyPlay, 1000000);
    player.apply(DemoAction::shuffleOn);
    std::set<int32_t> visited;
    for (int i = 0; i < 60; ++i) {
        const int32_t before = player.state().current;
        player.apply(DemoAction::next);
        EXPECT_NE(player.state().current, before);
        visited.insert(player.state().current);
    }
    EXPECT_GE(visited.size(), 8u);
}

TEST(DemoPlayerTest, PauseAndSeekDoNothingWhenStopped) {
    DemoPlayer player(onlyPlay, 1000000);
    player.apply(DemoAction::stop);
    player.apply(DemoAction::pause);
    player.apply(DemoAction::seekNearEnd);
    EXPECT_EQ(player.state().playState, PlayState::stopped);
    EXPECT_EQ(player.state().positionMillis, 0);
}

TEST(DemoPlayerTest, SongsAreSilentAtTheirEdgesAndLoudBetween) {
    DemoPlayer player(onlyPlay, 1000000);
    AudioBlock block;
    player.update(300);
    player.audio(block);
    EXPECT_TRUE(silent(block)) << "lead-in";
    player.update(2000);
    player.audio(block);
    EXPECT_FALSE(silent(block));
    player.apply(DemoAction::seekNearEnd);  // 3 s before the end: music still
    player.audio(block);
    EXPECT_FALSE(silent(block));
    player.update(2000 + seekLeadMillis - 1000);  // in the tail
    player.audio(block);
    EXPECT_TRUE(silent(block)) << "tail";
    player.apply(DemoAction::pause);
    player.update(3000 + seekLeadMillis);
    player.audio(block);
    EXPECT_TRUE(silent(block)) << "paused";
}

TEST(SynthesizerTest, MonoSongsHaveEqualChannelsAndStereoSongsDiffer) {
    const auto playlist = demoPlaylist();
    AudioBlock mono, stereo, again;
    Synthesizer::render(playlist[1], 3 * playlist[1].sampleRate, mono);
    Synthesizer::render(playlist[0], 3 * playlist[0].sampleRate, stereo);
    Synthesizer::render(playlist[0], 3 * playlist[0].sampleRate, again);
    EXPECT_EQ(mono.samples[0], mono.samples[1]);
    EXPECT_NE(stereo.samples[0], stereo.samples[1]);
    EXPECT_EQ(stereo.samples, again.samples);
    EXPECT_EQ(stereo.sampleRate, 44100);
}

TEST(SynthesizerTest, MusicMovesTheSpectrumAcrossBassAndTreble) {
    const DemoTrack& track = demoPlaylist()[0];
    AudioAnalysis analysis;
    AudioBlock block;
    uint8_t spectrum[2][spectrumEntries];
    uint8_t waveform[2][spectrumEntries];
    int lowFrames = 0, highFrames = 0, changes = 0;
    uint8_t previous[spectrumEntries] = {};
    for (int frame = 0; frame < 50; ++frame) {
        Synthesizer::render(track, track.sampleRate + frame * track.sampleRate * 60 / 1000, block);
        analysis.analyse(block, spectrum, waveform);
        lowFrames += *std::max_element(spectrum[0], spectrum[0] + 40) > 10;
        highFrames += *std::max_element(spectrum[0] + 46, spectrum[0] + 512) > 0;
        changes += !std::equal(previous, previous + spectrumEntries, spectrum[0]);
        std::copy(spectrum[0], spectrum[0] + spectrumEntries, previous);
    }
    EXPECT_EQ(lowFrames, 50);
    EXPECT_GT(highFrames, 20);  // above 2 kHz: overtones, snare and hi-hat
    EXPECT_EQ(changes, 50);
}

} // namespace
} // namespace tessaranth::host
