// SPDX-License-Identifier: GPL-2.0-or-later
// The whole Linux host against a real MPD: songs made and tagged by the test, the plug-in with a
// configuration file that shows time, play status and the analyzer, and the virtual display,
// read back from the emulated T6963C's memory and glass.
#include "DisplayScene.h"
#include "MpdServer.h"
#include "audio/FifoAudio.h"
#include "players/MpdFollower.h"
#include "session/FrameLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>

namespace tessaranth::host {
namespace {

using test::MpdServer;

// Noise that swells and fades: the analyzer moves while a song plays.
const std::vector<test::TestSong> songs = {
    {"one.flac", "Test Artist", "First Tone", 8, 300, true},
    {"two.flac", "Other Artist", "Second Tone", 8, 500, true},
};

class MpdDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error();
        ASSERT_TRUE(server.queueSongs()) << server.error();
        scene = std::make_unique<test::DisplayScene>(server.folder(), follower, fifo);
    }
    void TearDown() override {
        if (scene) {
            EXPECT_EQ(scene->problems(), "");
        }
        scene.reset();
    }

    MpdServer server{songs};
    MpdFollower follower{"127.0.0.1", server.port(), [](const std::string&) {}};
    FifoAudio fifo{server.fifo()};
    std::unique_ptr<test::DisplayScene> scene;
};

TEST_F(MpdDisplayTest, ShowsWhatMpdPlays) {
    test::DisplayScene& s = *scene;
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Stopped"); }));
    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 0); }));
    ASSERT_TRUE(s.frames(4000, [&] { return s.shows("First Tone") && s.shows("Test Artist") && s.shows("Playing"); }))
        << s.picture();

    const std::string firstTime = s.timeRow();
    std::set<std::vector<bool>> analyzerPictures;
    int litFrames = 0;
    ASSERT_TRUE(s.frames(3000, [&] {
        analyzerPictures.insert(s.analyzerPicture());
        litFrames += s.analyzerDots() > 0;
        return s.timeRow() != firstTime && analyzerPictures.size() >= 3;
    })) << "time " << firstTime << " -> " << s.timeRow() << ", " << analyzerPictures.size() << " analyzer pictures";
    EXPECT_GT(litFrames, 0);

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_pause(c, true); }));
    ASSERT_TRUE(s.frames(3000, [&] { return s.shows("Paused"); }));
    const std::string pausedTime = s.timeRow();
    s.frames(400, [] { return false; });
    EXPECT_EQ(s.timeRow(), pausedTime) << "time stands still while paused";

    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_next(c) && mpd_run_pause(c, false); }));
    ASSERT_TRUE(s.frames(4000, [&] { return s.shows("Second Tone") && s.shows("Other Artist") && s.shows("Playing"); }));
}

// What a user saw before MPD moved off the frame thread: a frozen MPD froze the display too.
TEST_F(MpdDisplayTest, AFrozenMpdLeavesTheFramesFlowing) {
    test::DisplayScene& s = *scene;
    ASSERT_TRUE(server.run([](mpd_connection* c) { return mpd_run_play_pos(c, 0); }));
    ASSERT_TRUE(s.frames(4000, [&] { return s.shows("Playing"); }));
    ASSERT_EQ(kill(server.pid(), SIGSTOP), 0);
    FrameLoop loop(s.session(), {std::nullopt, 3.0});
    const int64_t before = s.session().frames();
    loop.run();  // the plug-in's default pace: a frame every 60 ms
    kill(server.pid(), SIGCONT);
    // About 50 at the plug-in's pace; a frame thread that waited for the player would show 3 at
    // most. Half the pace leaves room for a machine busy with the sanitizers and other tests.
    EXPECT_GE(s.session().frames() - before, 25) << "about 50 frames in 3 s";
}

} // namespace
} // namespace tessaranth::host
