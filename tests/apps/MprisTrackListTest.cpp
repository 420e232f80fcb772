// SPDX-License-Identifier: GPL-2.0-or-later
// tessaranth mpris following a player with a track list (TrackListPlayer, on the desktop world's
// session bus or on a bus of the test's own): the list read once for a burst of signals, cut at
// its most tracks, ids that cannot be asked for left out, and the bus lost and found again.
#include "DesktopWorld.h"
#include "ReportLog.h"
#include "TrackListPlayer.h"
#include "Waiting.h"
#include "players/MprisFollower.h"
#include "players/MprisModel.h"

#include <gtest/gtest.h>

#include <memory>

namespace tessaranth::host {
namespace {

using test::desktop;
using test::TrackListPlayer;

// The playlist as a frame would see it.
std::size_t tracksShown(MprisFollower& follower) {
    follower.update(0);
    return follower.state().playlist.size();
}

// The track-list player on the session bus, followed once it has `tracks` tracks.
class MprisTrackList : public ::testing::Test {
protected:
    void follow(int tracks, std::size_t shown) {
        ASSERT_TRUE(player.ok());
        player.replaceTracks(tracks);
        follower = std::make_unique<MprisFollower>("tracks", log.sink());
        ASSERT_TRUE(test::waitFor(8000, [&] { return tracksShown(*follower) == shown; })) << tracksShown(*follower);
    }

    TrackListPlayer player;
    test::ReportLog log;
    std::unique_ptr<MprisFollower> follower;
};

TEST_F(MprisTrackList, ABurstOfSignalsIsReadOnceNotPerSignal) {
    ASSERT_NO_FATAL_FAILURE(follow(3, 3));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"following org.mpris.MediaPlayer2.tracks"}));
    const int readsBefore = player.trackListReads();

    player.addTracks(500);
    ASSERT_TRUE(test::waitFor(5000, [&] { return tracksShown(*follower) == 503; })) << tracksShown(*follower);
    EXPECT_EQ(follower->state().playlist.back().title, "Track 503");
    // Signals that straggle in after a read started ask for one more.
    test::waitFor(500, [] { return false; });
    const int reads = player.trackListReads() - readsBefore;
    EXPECT_GE(reads, 1);
    EXPECT_LE(reads, 3) << "500 TrackAdded signals";
    EXPECT_EQ(tracksShown(*follower), 503u);
}

TEST_F(MprisTrackList, AtMostTenThousandTracksAreAskedForAndShown) {
    ASSERT_NO_FATAL_FAILURE(follow(12000, mostPlaylistEntries));
    EXPECT_EQ(player.mostIdsAsked(), mostPlaylistEntries);
    EXPECT_EQ(follower->state().playlist[mostPlaylistEntries - 1].title, "Track 10000");
}

// libdbus ends the program when asked to send an object path that is none; a player may name
// its tracks with any strings.
TEST_F(MprisTrackList, TrackIdsThatAreNoObjectPathsAreLeftOut) {
    ASSERT_NO_FATAL_FAILURE(follow(3, 3));
    player.answerTracksAsTexts({"/org/tessaranth/Track/1", "not a path", "/org/tessaranth/Track/3", "/trailing/",
                                "/org/tessaranth//Track/2", "/caf\xc3\xa9"});
    ASSERT_TRUE(test::waitFor(5000, [&] { return tracksShown(*follower) == 2; })) << tracksShown(*follower);
    EXPECT_EQ(player.mostIdsAsked(), 3u) << "the first three tracks, then the two valid ids";
    EXPECT_EQ(follower->state().playlist[1].title, "Track 3");
}

TEST(MprisBus, ALostBusIsToldOfAndFollowedAgainWhenItIsBack) {
    const std::string socket = desktop().folder() + "/run/other-bus";
    const std::string address = "unix:path=" + socket;
    test::ChildProcess bus;
    ASSERT_TRUE(desktop().startBus(bus, socket));
    auto player = std::make_unique<TrackListPlayer>(address);
    ASSERT_TRUE(player->ok());
    player->replaceTracks(2);
    test::ReportLog log;
    MprisFollower follower("tracks", log.sink(), address);
    ASSERT_TRUE(test::waitFor(5000, [&] { return tracksShown(follower) == 2; }));

    player.reset();
    bus.stop();
    EXPECT_TRUE(test::waitFor(3000, [&] {
        return log.has("lost the session bus at " + address + " (the connection closed); trying again every second");
    })) << testing::PrintToString(log.lines());
    EXPECT_TRUE(test::waitFor(3000, [&] { return tracksShown(follower) == 0; })) << "nothing is followed";

    ASSERT_TRUE(desktop().startBus(bus, socket));
    player = std::make_unique<TrackListPlayer>(address);
    ASSERT_TRUE(player->ok());
    player->replaceTracks(4);
    EXPECT_TRUE(test::waitFor(5000, [&] { return tracksShown(follower) == 4; })) << testing::PrintToString(log.lines());
    EXPECT_TRUE(log.has("the session bus at " + address + " is back"));
    EXPECT_EQ(log.lines().back(), "following org.mpris.MediaPlayer2.tracks");
}

} // namespace
} // namespace tessaranth::host
