// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DemoPlayer.h"
#include "Errors.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "RecordingPlugin.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaranth::host {
namespace {

class HostSessionTest : public ::testing::Test {
protected:
    HostSessionTest() { plugin.module().userPointer = &log; }

    PluginLibrary plugin{TESSARANTH_RECORDING_PLUGIN};
    RecordingPluginLog log;
    DemoPlayer player;
    int afterFrames = 0;
};

TEST_F(HostSessionTest, InitsWithThePlayerWindowRendersEveryFrameAndQuitsAtTheEnd) {
    {
        HostSession session(plugin, player, player, [this] { ++afterFrames; });
        session.start();
        EXPECT_EQ(log.inits, 1);
        EXPECT_NE(log.windowAtInit, nullptr);
        for (int i = 0; i < 5; ++i) session.frame(1000 + i * 40);
        EXPECT_EQ(log.renders, 5);
        EXPECT_EQ(afterFrames, 5);
        EXPECT_EQ(session.frames(), 5);
        EXPECT_EQ(log.quits, 0);
    }
    EXPECT_EQ(log.quits, 1);
    EXPECT_STREQ(log.lastTitle, "1. Kestrel Fold - Morning Over Harrow Sands - Winamp");
    EXPECT_EQ(log.lastPlayState, 1);
}

TEST_F(HostSessionTest, FeedsTheAnalysisOfWhatPlaysAndSilenceWhilePaused) {
    HostSession session(plugin, player, player, nullptr);
    session.start();
    session.frame(2000);  // playing, past the silent lead-in
    EXPECT_EQ(log.nonZeroSpectrumFrames, 1);
    EXPECT_EQ(log.nonZeroWaveformFrames, 1);
    EXPECT_EQ(plugin.module().sampleRate, 44100);
    session.frame(7000);  // paused by the schedule
    EXPECT_EQ(log.lastPlayState, 3);
    EXPECT_EQ(log.nonZeroSpectrumFrames, 1);
    EXPECT_EQ(log.nonZeroWaveformFrames, 1);
    EXPECT_STREQ(log.lastTitle, "2. The Amberlight Quartet - Paper Lanterns - Winamp [Paused]");
    EXPECT_EQ(plugin.module().sampleRate, 22050);
    EXPECT_EQ(plugin.module().channelCount, 1);
}

TEST_F(HostSessionTest, WaitsWhatThePluginAsksWithinBounds) {
    HostSession session(plugin, player, player, nullptr);
    session.start();
    log.delayToAsk = 25;
    EXPECT_EQ(session.frame(0), 25);
    log.delayToAsk = 0;
    EXPECT_EQ(session.frame(10), shortestDelayMillis);
    log.delayToAsk = -7;
    EXPECT_EQ(session.frame(20), shortestDelayMillis);
    log.delayToAsk = 1000000;
    EXPECT_EQ(session.frame(30), longestDelayMillis);
}

TEST_F(HostSessionTest, NoticesThePluginAskingThePlayerToClose) {
    log.askToClose = true;
    HostSession session(plugin, player, player, nullptr);
    EXPECT_FALSE(session.closeRequested());
    session.start();
    EXPECT_TRUE(session.closeRequested());
}

TEST(PluginLibraryTest, RefusesWhatIsNotAPlugin) {
    EXPECT_THROW(PluginLibrary("/nonexistent/vis_nothing.so"), Failure);
    try {
        PluginLibrary library("libfftw3.so.3");
        FAIL() << "a library without the entry point was accepted";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("not a visualisation plug-in"), std::string::npos);
    }
}

} // namespace
} // namespace tessaranth::host
