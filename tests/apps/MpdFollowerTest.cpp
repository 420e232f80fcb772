// SPDX-License-Identifier: GPL-2.0-or-later
// The MPD follower against a real MPD started by the test: what it follows, the FIFO's sound, and
// what it says when MPD goes away, freezes or comes back.
#include "players/MpdFollower.h"
#include "AllocationCounter.h"
#include "MpdServer.h"
#include "ReportLog.h"
#include "audio/AudioAnalysis.h"
#include "audio/FifoAudio.h"

#include <csignal>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace tessaranth::host {
namespace {

using test::MpdServer;
using test::waitFor;

const std::vector<test::TestSong> songs = {
    {"one.flac", "Test Artist", "First Tone", 6, 440},
    {"two.flac", "Other Artist", "Second Tone", 6, 1000},
};

class MpdFollowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error();
        ASSERT_TRUE(server.queueSongs()) << server.error();
    }
    int64_t now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    }
    // Updates the follower until the condition holds (at most `millis`).
    bool follow(MpdFollower& follower, int millis, const auto& condition) {
        return waitFor(millis, [&] {
            follower.update(now());
            return condition(follower.state());
        });
    }

    std::vector<std::string> reports() { return log.lines(); }
    ContactReport::Sink sink() { return log.sink(); }

    MpdServer server{songs};
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    test::ReportLog log;
};

TEST_F(MpdFollowerTest, FollowsSongsTimePauseNextAndModes) {
    MpdFollower follower("127.0.0.1", server.port(), sink());
    ASSERT_TRUE(follow(follower, 3000, [](const PlayerState& st) { return st.playlist.size() == 2; }));
    EXPECT_TRUE(follower.connected());
    EXPECT_EQ(follower.state().playState, PlayState::stopped);
    EXPECT_EQ(follower.state().playlist[1].fileName, "two.flac");
    EXPECT_EQ(follower.state().playlist[1].artist, "Other Artist");

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 0); }));
    // The bitrate comes with the next status after decoding began; the time moves on by the clock.
    ASSERT_TRUE(follow(follower, 4000, [](const PlayerState& st) { return st.positionMillis > 300 && st.bitrate > 0; }));
    const PlayerState& s = follower.state();
    EXPECT_EQ(s.playState, PlayState::playing);
    EXPECT_EQ(s.current, 0);
    EXPECT_EQ(s.currentEntry()->title, "First Tone");
    EXPECT_EQ(s.currentEntry()->artist, "Test Artist");
    EXPECT_EQ(s.lengthSeconds, 6);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.channels, 2);
    EXPECT_GT(s.bitrate, 0);

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_pause(c, true); }));
    ASSERT_TRUE(follow(follower, 2000, [](const PlayerState& st) { return st.playState == PlayState::paused; }));
    const int32_t pausedAt = s.positionMillis;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    follower.update(now());
    EXPECT_EQ(s.positionMillis, pausedAt);

    ASSERT_TRUE(server.run([](mpd_connection* c) {
        return mpd_run_next(c) && mpd_run_random(c, true) && mpd_run_repeat(c, true);
    }));
    ASSERT_TRUE(follow(follower, 2000, [](const PlayerState& st) { return st.current == 1 && st.shuffle && st.repeat; }));
    EXPECT_EQ(s.currentEntry()->title, "Second Tone");
}

TEST_F(MpdFollowerTest, HearsTheFifoWhilePlayingAndSilenceWhenPaused) {
    MpdFollower follower("127.0.0.1", server.port(), sink());
    FifoAudio fifo(server.fifo());
    AudioAnalysis analysis;
    AudioBlock audio;
    uint8_t spectrum[2][spectrumEntries];
    uint8_t waveform[2][spectrumEntries];
    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 1); }));  // 1000 Hz left
    const bool heard = follow(follower, 4000, [&](const PlayerState& st) {
        fifo.fill(audio, st.playState == PlayState::playing);
        analysis.analyse(audio, spectrum, waveform);
        return spectrum[0][22] > 20 || spectrum[0][23] > 20;  // 1 kHz at 44.1 kHz: bin 11.6
    });
    EXPECT_TRUE(heard);

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_pause(c, true); }));
    ASSERT_TRUE(follow(follower, 2000, [](const PlayerState& st) { return st.playState == PlayState::paused; }));
    fifo.fill(audio, false);
    for (int16_t sample : audio.samples[0]) ASSERT_EQ(sample, 0);
}

TEST_F(MpdFollowerTest, ReconnectsWhenMpdComesBack) {
    MpdFollower follower("127.0.0.1", server.port(), sink());
    ASSERT_TRUE(follow(follower, 3000, [](const PlayerState& st) { return st.playlist.size() == 2; }));
    EXPECT_TRUE(reports().empty()) << "a first contact goes without a word";
    server.stop();
    ASSERT_TRUE(follow(follower, 3000, [&](const PlayerState& st) { return !follower.connected() && st.playlist.empty(); }));
    EXPECT_EQ(follower.state().playState, PlayState::stopped);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // two more tries fail
    const std::string address = "MPD at 127.0.0.1:" + std::to_string(server.port());
    ASSERT_EQ(reports().size(), 1u) << "failures while MPD is away are not repeated";
    EXPECT_EQ(reports()[0].rfind("lost " + address + " (", 0), 0u) << reports()[0];
    EXPECT_NE(reports()[0].find("); trying again every second"), std::string::npos) << reports()[0];
    ASSERT_TRUE(server.start()) << server.error();
    ASSERT_TRUE(follow(follower, 4000, [&](const PlayerState& st) { return follower.connected() && st.playlist.size() == 2; }));
    ASSERT_EQ(reports().size(), 2u);
    EXPECT_EQ(reports()[1], address + " is back");
}

TEST_F(MpdFollowerTest, AFrozenMpdNeverHoldsAnUpdateUp) {
    MpdFollower follower("127.0.0.1", server.port(), sink());
    ASSERT_TRUE(follow(follower, 3000, [](const PlayerState& st) { return st.playlist.size() == 2; }));
    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 0); }));
    ASSERT_TRUE(follow(follower, 3000, [](const PlayerState& st) { return st.playState == PlayState::playing; }));
    ASSERT_EQ(kill(server.pid(), SIGSTOP), 0);
    auto slowest = std::chrono::steady_clock::duration::zero();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (std::chrono::steady_clock::now() < end) {
        const auto before = std::chrono::steady_clock::now();
        follower.update(now());
        slowest = std::max(slowest, std::chrono::steady_clock::now() - before);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(server.pid(), SIGCONT);
    EXPECT_LT(slowest, std::chrono::milliseconds(5)) << "an update only takes what the follower thread has";
    ASSERT_FALSE(reports().empty()) << "the follower notices that MPD stopped answering";
    EXPECT_NE(reports()[0].find("Timeout"), std::string::npos) << reports()[0];
    ASSERT_TRUE(follow(follower, 5000, [&](const PlayerState& st) { return follower.connected() && st.playlist.size() == 2; }));
}

// Appends `count` songs to the queue, alternating the two, in command lists of a thousand.
bool appendSongs(mpd_connection* c, int count) {
    for (int done = 0; done < count;) {
        const int batch = std::min(1000, count - done);
        if (!mpd_command_list_begin(c, false)) return false;
        for (int i = 0; i < batch; ++i, ++done)
            if (!mpd_send_add(c, songs[static_cast<std::size_t>(done % 2)].file.c_str())) return false;
        if (!mpd_command_list_end(c) || !mpd_response_finish(c)) return false;
    }
    return true;
}

// A queue of 100,000 songs: the follower passes on the 10,000 around the current song, numbered
// as MPD numbers them, and a frame's update stays cheap while the queue keeps changing: it
// allocates nothing (so copies no list) and never waits for the follower's reading.
TEST_F(MpdFollowerTest, ALongQueueIsPassedOnInPartAndFramesStayCheap) {
    mpd_connection* control = server.connect();
    ASSERT_TRUE(control);
    ASSERT_TRUE(appendSongs(control, 100000 - 2)) << mpd_connection_get_error_message(control);
    MpdFollower follower("127.0.0.1", server.port(), sink());
    ASSERT_TRUE(follow(follower, 10000, [](const PlayerState& st) { return st.listLength() == 100000; }));
    const PlayerState& s = follower.state();
    EXPECT_EQ(s.playlist.size(), mostPlaylistEntries);
    EXPECT_EQ(s.firstEntry, 0);
    EXPECT_EQ(s.playlist[9999].title, "Second Tone");

    ASSERT_TRUE(mpd_run_play_pos(control, 50000) && mpd_run_pause(control, true));  // stays there
    ASSERT_TRUE(follow(follower, 5000, [](const PlayerState& st) { return st.current == 50000 && st.firstEntry == 45000; }));
    EXPECT_EQ(s.listLength(), 100000);
    ASSERT_NE(s.currentEntry(), nullptr);
    EXPECT_EQ(s.currentEntry()->title, "First Tone");

    // Every move changes songs of the part after the current one: the follower reads the part
    // again, and the frames take the new list, updating all the while.
    auto slowest = std::chrono::steady_clock::duration::zero();
    uint64_t allocations = 0;
    int lists = 0;
    for (unsigned move = 0; move < 5; ++move) {
        ASSERT_TRUE(mpd_run_move(control, 51000 + move, 54000));
        const PlaylistEntry* list = s.playlist.data();
        const bool taken = waitFor(10000, [&] {
            const auto before = std::chrono::steady_clock::now();
            const uint64_t allocated = test::allocationCount();
            follower.update(now());
            slowest = std::max(slowest, std::chrono::steady_clock::now() - before);
            allocations += test::allocationCount() - allocated;
            return s.playlist.data() != list;
        });
        ASSERT_TRUE(taken) << "move " << move;
        ++lists;
    }
    mpd_connection_free(control);
    std::printf("a queue of 100,000 songs changed %d times: slowest update %.3f ms\n", lists,
                std::chrono::duration<double, std::milli>(slowest).count());
    EXPECT_EQ(allocations, 0u) << "a frame copies no list";
    EXPECT_LT(slowest, std::chrono::milliseconds(5)) << "an update only takes what the follower thread has";
    EXPECT_EQ(s.listLength(), 100000);
    EXPECT_EQ(s.current, 50000);
    EXPECT_EQ(s.firstEntry, 45000);
    ASSERT_NE(s.currentEntry(), nullptr);
    EXPECT_EQ(s.currentEntry()->title, "First Tone");
    EXPECT_EQ(s.entry(44999), nullptr);
    EXPECT_NE(s.entry(54999), nullptr);
}

} // namespace
} // namespace tessaranth::host
