// SPDX-License-Identifier: GPL-2.0-or-later
// tessaranth mpris as a desktop user has it: mpv with its MPRIS script plays tones through the
// sound server; the host follows it over the session bus and hears it from the sink's monitor,
// and the virtual display shows it.
#include "DesktopWorld.h"
#include "DisplayScene.h"
#include "ReportLog.h"
#include "Waiting.h"
#include "audio/PulseCapture.h"
#include "doctor/Checks.h"
#include "players/MprisFollower.h"
#include "session/FrameLoop.h"

#include <gtest/gtest.h>

#include <csignal>

namespace tessaranth::host {
namespace {

using test::desktop;

// Seconds of the first part of the time field ("mm:ss/mm:ss"), by the default the time remaining.
int remainingSeconds(const std::string& time) { return std::stoi(time.substr(0, 2)) * 60 + std::stoi(time.substr(3, 2)); }

class MprisDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto files = desktop().makeSongs({{"one.flac", "Test Artist", "First Tone", 8, 440},
                                                {"two.flac", "Other Artist", "Second Tone", 8, 1000}});
        ASSERT_EQ(desktop().error(), "");
        ASSERT_TRUE(desktop().startMpv(files)) << desktop().logs();
        files_ = files;
        follower = std::make_unique<MprisFollower>("", log.sink());
        capture = std::make_unique<PulseCapture>("", log.sink());
        scene = std::make_unique<test::DisplayScene>(desktop().folder(), *follower, *capture);
    }
    void TearDown() override {
        if (scene) {
            EXPECT_EQ(scene->problems(), "");
        }
        scene.reset();
        capture.reset();
        follower.reset();
        desktop().stopMpv();
    }
    std::vector<std::string> reports() { return log.lines(); }
    bool reported(const std::string& part) { return log.has(part); }

    std::vector<std::string> files_;
    std::unique_ptr<MprisFollower> follower;
    std::unique_ptr<PulseCapture> capture;
    std::unique_ptr<test::DisplayScene> scene;
    test::ReportLog log;
};

TEST_F(MprisDisplayTest, TitleArtistTimeAndStatusFollowMpv) {
    test::DisplayScene& s = *scene;
    ASSERT_TRUE(s.frames(5000, [&] { return s.shows("First Tone") && s.shows("Test Artist") && s.shows("Paused"); }))
        << s.picture();
    EXPECT_TRUE(reported("following org.mpris.MediaPlayer2.mpv"));

    ASSERT_TRUE(desktop().control("Play"));
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Playing"); })) << s.picture();
    // The first stream on an idle sink may start late: wait for the time to move.
    const std::string started = s.timeRow();
    ASSERT_TRUE(s.frames(5000, [&] { return s.timeRow() != started; })) << s.picture();

    ASSERT_TRUE(desktop().control("Pause"));
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Paused"); })) << s.picture();
    const std::string paused = s.timeRow();
    s.frames(600, [] { return false; });
    EXPECT_EQ(s.timeRow(), paused) << "the time stands while paused";

    ASSERT_TRUE(desktop().control("Seek", "int64:3000000"));
    ASSERT_TRUE(s.frames(3000, [&] { return s.timeRow() != paused; })) << s.picture();
    EXPECT_NEAR(remainingSeconds(paused) - remainingSeconds(s.timeRow()), 3, 1) << paused << " -> " << s.timeRow();

    ASSERT_TRUE(desktop().control("Next"));
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Second Tone") && s.shows("Other Artist"); })) << s.picture();
    EXPECT_EQ(s.timeRow().substr(6), "00:08") << "the new song's length";

    desktop().stopMpv();
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Stopped") && !s.shows("Second Tone"); })) << s.picture();
    EXPECT_TRUE(reported("org.mpris.MediaPlayer2.mpv has quit"));
    EXPECT_TRUE(reported("no MPRIS player on the session bus; waiting for one to start"));

    ASSERT_TRUE(desktop().startMpv(files_));
    ASSERT_TRUE(s.frames(5000, [&] { return s.shows("First Tone") && s.shows("Paused"); })) << s.picture();
    EXPECT_EQ(reports().back(), "following org.mpris.MediaPlayer2.mpv");
}

// What a user saw before players moved off the frame thread: a frozen player froze the display.
TEST_F(MprisDisplayTest, AFrozenPlayerLeavesTheFramesFlowing) {
    test::DisplayScene& s = *scene;
    ASSERT_TRUE(desktop().control("Play"));
    ASSERT_TRUE(s.frames(5000, [&] { return s.shows("Playing") && s.timeRow().substr(0, 5) != "00:00"; })) << s.picture();
    ASSERT_EQ(kill(desktop().mpv().pid(), SIGSTOP), 0);
    FrameLoop loop(s.session(), {std::nullopt, 3.0});
    const int64_t before = s.session().frames();
    loop.run();  // the plug-in's default pace: a frame every 60 ms
    // About 50 at the plug-in's pace; a frame thread that waited for the player would show 3 at
    // most. Half the pace leaves room for a machine busy with the sanitizers and other tests.
    EXPECT_GE(s.session().frames() - before, 25) << "about 50 frames in 3 s";
    EXPECT_TRUE(test::waitFor(3000, [&] { return reported("lost the MPRIS player org.mpris.MediaPlayer2.mpv ("); }))
        << testing::PrintToString(reports());
    s.frame();
    const std::string frozen = s.timeRow();
    s.frames(1200, [] { return false; });
    EXPECT_EQ(s.timeRow(), frozen) << "the time of a player that does not answer stands";
    kill(desktop().mpv().pid(), SIGCONT);
    EXPECT_TRUE(test::waitFor(5000, [&] { return reported("the MPRIS player org.mpris.MediaPlayer2.mpv is back"); }))
        << testing::PrintToString(reports());
    ASSERT_TRUE(s.frames(5000, [&] { return s.timeRow() != frozen; })) << "it plays on: " << s.picture();
}

// What `tessaranth doctor` says of the desktop: the player on the session bus, none once it quit.
TEST_F(MprisDisplayTest, TheDoctorFindsThePlayerOnTheSessionBus) {
    const Finding found = checkMpris("");
    EXPECT_EQ(found.verdict, Verdict::ok);
    EXPECT_EQ(found.text, "on the session bus: mpv");
    desktop().stopMpv();
    EXPECT_TRUE(test::waitFor(3000, [] { return checkMpris("").verdict == Verdict::warning; }));
    EXPECT_EQ(checkMpris("").text, "no MPRIS player is on the session bus");
}

} // namespace
} // namespace tessaranth::host
