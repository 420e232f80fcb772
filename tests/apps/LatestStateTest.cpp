// SPDX-License-Identifier: GPL-2.0-or-later
// What a frame takes from a player source: the position it moves on by the clock, kept within
// the answer's range; the playlist, which crosses to the frame without being copied there; and
// the part of a long MPD queue that is passed on.
#include "AllocationCounter.h"
#include "players/LatestState.h"
#include "players/MpdState.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace tessaranth::host {
namespace {

using Clock = LatestState::Clock;
using namespace std::chrono_literals;

constexpr int32_t longest = std::numeric_limits<int32_t>::max();

// The position a frame shows `later` after a report of `millis` into a song of `lengthSeconds`.
int32_t positionAfter(int32_t millis, int32_t lengthSeconds, Clock::duration later, double rate = 1,
                      PlayState playState = PlayState::playing) {
    LatestState latest;
    LatestState::Snapshot snapshot;
    snapshot.state.playState = playState;
    snapshot.state.positionMillis = millis;
    snapshot.state.lengthSeconds = lengthSeconds;
    snapshot.positionTime = Clock::now();
    snapshot.rate = rate;
    latest.publish(snapshot);
    PlayerState state;
    latest.update(state, snapshot.positionTime + later);
    return state.positionMillis;
}

std::vector<PlaylistEntry> entries(int count, const std::string& tag) {
    std::vector<PlaylistEntry> list;
    for (int i = 0; i < count; ++i) list.push_back({"Artist", tag + " " + std::to_string(i), tag + ".flac"});
    return list;
}

TEST(LatestState, ThePositionStaysWithinTheSongAndTheAnswersRange) {
    // Songs whose end in milliseconds lies past what an int32 holds: 2^31 - 1 seconds, and the
    // first whole second past 2^31 - 1 milliseconds.
    EXPECT_EQ(positionAfter(longest - 1000, longest, 1h), longest);
    EXPECT_EQ(positionAfter(2147483000, 2147484, 1h), longest);
    EXPECT_EQ(positionAfter(2147480000, 2147483, 1h), 2147483000) << "the end of the song, within the range";
    EXPECT_EQ(positionAfter(0, -1, 24h * 30), longest) << "a song of unknown length, played for a month";
    EXPECT_EQ(positionAfter(longest, -1, 1h, 1000), longest);
    EXPECT_EQ(positionAfter(5000, 10, 1h, std::numeric_limits<double>::infinity()), 10000);
    EXPECT_EQ(positionAfter(5000, 10, 0s, std::numeric_limits<double>::infinity()), 5000) << "no time, no move";
    EXPECT_EQ(positionAfter(5000, 10, 1s, std::nan("")), 5000) << "a rate that is no number moves nothing";
    EXPECT_EQ(positionAfter(5000, 10, 1h, -1), 0) << "never before the start";
    EXPECT_EQ(positionAfter(-5, 10, 0s), 0);
    EXPECT_EQ(positionAfter(5000, 10, 1h, 1, PlayState::paused), 5000);
    EXPECT_EQ(positionAfter(5000, 10, 2s), 7000);
}

TEST(LatestState, APlaylistCrossesToTheFrameWithoutACopyThere) {
    LatestState latest;
    PlayerState state;
    LatestState::Snapshot snapshot{{}, Clock::now(), 1};
    snapshot.state.playlist = entries(static_cast<int>(mostPlaylistEntries), "first");
    snapshot.state.current = 17;
    latest.publish(snapshot);
    const uint64_t before = test::allocationCount();
    latest.update(state, Clock::now());
    EXPECT_EQ(test::allocationCount(), before) << "the frame allocates nothing, so copies nothing";
    ASSERT_EQ(state.playlist.size(), mostPlaylistEntries);
    EXPECT_EQ(state.playlist[9999].title, "first 9999");
    EXPECT_EQ(state.current, 17);

    // The same list again does not cross: the frame keeps the one it has.
    const PlaylistEntry* held = state.playlist.data();
    snapshot.state.current = 18;
    latest.publish(snapshot);
    latest.update(state, Clock::now());
    EXPECT_EQ(state.playlist.data(), held);
    EXPECT_EQ(state.current, 18);

    // A new list, then the same one with a later position, both before the next frame: the
    // frame gets the new list with the later state, and gives its old list back without freeing
    // it (freeing is the talking side's).
    snapshot.state.playlist = entries(3, "second");
    latest.publish(snapshot);
    snapshot.state.current = 2;
    latest.publish(snapshot);
    const uint64_t beforeSecond = test::allocationCount();
    latest.update(state, Clock::now());
    EXPECT_EQ(test::allocationCount(), beforeSecond);
    ASSERT_EQ(state.playlist.size(), 3u);
    EXPECT_EQ(state.playlist[2].title, "second 2");
    EXPECT_EQ(state.current, 2);

    snapshot.state.playlist.clear();
    latest.publish(snapshot);
    latest.update(state, Clock::now());
    EXPECT_TRUE(state.playlist.empty()) << "an emptied list crosses too";
}

TEST(LatestState, AFrameBeforeAnyReportKeepsWhatItHas) {
    LatestState latest;
    PlayerState state;
    state.positionMillis = 1234;
    latest.update(state, Clock::now());
    EXPECT_EQ(state.positionMillis, 1234);
}

TEST(MpdQueuePart, AllOfAShortQueueAndTheMostAroundTheCurrentSongOfALongOne) {
    EXPECT_EQ(queuePartAround(0, 0), (QueuePart{0, 0}));
    EXPECT_EQ(queuePartAround(3, 10000), (QueuePart{0, 10000}));
    EXPECT_EQ(queuePartAround(50000, 100000), (QueuePart{45000, 55000}));
    EXPECT_EQ(queuePartAround(100, 100000), (QueuePart{0, 10000}));
    EXPECT_EQ(queuePartAround(99999, 100000), (QueuePart{90000, 100000}));
    EXPECT_EQ(queuePartAround(0, 4294967295u), (QueuePart{0, 10000}));
    EXPECT_EQ(queuePartAround(4294967294u, 4294967295u), (QueuePart{4294957295u, 4294967295u}));

    // The part stays while the current song is a quarter of the most entries from an edge, or
    // at an end of the queue.
    const QueuePart middle{45000, 55000};
    EXPECT_TRUE(partServes(middle, 47500, 100000));
    EXPECT_FALSE(partServes(middle, 47499, 100000));
    EXPECT_TRUE(partServes(middle, 52499, 100000));
    EXPECT_FALSE(partServes(middle, 52500, 100000));
    EXPECT_FALSE(partServes(middle, 70000, 100000));
    EXPECT_TRUE(partServes({0, 10000}, 0, 100000));
    EXPECT_TRUE(partServes({90000, 100000}, 99999, 100000));
    EXPECT_TRUE(partServes({0, 2}, 1, 2));
}

} // namespace
} // namespace tessaranth::host
