// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScreenFixture.h"
#include "TableDriver.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"

#include <gtest/gtest.h>

#include <functional>

namespace tessaranth::test {
namespace {

using Strings = std::vector<std::string>;

class StatusIndicators : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        Settings& s = *gSettings;
        s.setShowTitle(0), s.setShowArtist(0);
        s.setShowStatus(1), s.setStatusX(0), s.setStatusY(5);
        s.setShowShuffle(1), s.setShuffleX(10), s.setShuffleY(5);
        s.setShowRepeat(1), s.setRepeatX(20), s.setRepeatY(5);
    }

    Strings frame() {
        recorder->calls.clear();
        gPlugin->drawStatusIndicators(&module());
        return textWrites();
    }
};

TEST_F(StatusIndicators, StartingWhilePlayingWritesNothing) {
    EXPECT_TRUE(frame().empty());
    EXPECT_EQ(queries(), (std::vector<intptr_t>{104, 250, 251}));
}

TEST_F(StatusIndicators, StartingWhileStoppedWritesStoppedOnce) {
    player.playState = 0;
    EXPECT_EQ(frame(), (Strings{"0,5:Stopped"}));
    EXPECT_TRUE(frame().empty());
}

TEST_F(StatusIndicators, PlayPausePlayWritesOncePerChange) {
    player.playState = 3;
    EXPECT_EQ(frame(), (Strings{"0,5:Paused "}));
    EXPECT_TRUE(frame().empty());
    player.playState = 1;
    EXPECT_EQ(frame(), (Strings{"0,5:Playing"}));
}

TEST_F(StatusIndicators, AnyOtherStateCountsAsStopped) {
    player.playState = 7;
    EXPECT_EQ(frame(), (Strings{"0,5:Stopped"}));
    player.playState = 0x103;  // only the low byte is kept
    EXPECT_EQ(frame(), (Strings{"0,5:Paused "}));
}

TEST_F(StatusIndicators, HiddenStatusWritesNothingAndIsDrawnAtTheNextChange) {
    gSettings->setShowStatus(0);
    player.playState = 0;
    EXPECT_TRUE(frame().empty());
    gSettings->setShowStatus(1);
    EXPECT_EQ(frame(), (Strings{"0,5:Stopped"})) << "the last drawn state was still playing";
    player.playState = 1;
    EXPECT_EQ(frame(), (Strings{"0,5:Playing"}));
}

// Shows the analyzer as graphics, the scope as blocks and the VU meter.
void showVisualisations() {
    Settings& s = *gSettings;
    s.setShowAnalyzer(1), s.setBlockAnalyzer(0);
    s.setShowScope(1), s.setBlockScope(1);
    s.setShowVUMeter(1);
}

// What the erasures of a stop send, recorded alone on a freshly loaded plug-in.
std::vector<ControllerCall> erasuresAlone() {
    loadPlugin();
    useFamilyOf(*gLcd, 0);
    gLcd->setSize(240, 64);
    auto* alone = new CallRecorder;
    gController = alone;
    showVisualisations();
    gAnalyzer->clearAnalyzerGraphics();
    gAnalyzer->clearScopeText();
    gAnalyzer->drawVUMeter(0, 0);
    return alone->calls;
}

TEST_F(StatusIndicators, StoppingErasesTheShownVisualisationsOnce) {
    const std::vector<ControllerCall> expected = erasuresAlone();
    ASSERT_FALSE(expected.empty());
    SetUp();
    showVisualisations();
    player.playState = 0;
    EXPECT_EQ(frame(), (Strings{"0,5:Stopped"}));
    const std::vector<ControllerCall> afterText(recorder->calls.begin() + 1, recorder->calls.end());
    EXPECT_TRUE(afterText == expected) << afterText.size() << " calls against " << expected.size();
    EXPECT_TRUE(frame().empty());
    EXPECT_TRUE(recorder->calls.empty()) << "erased once";
}

TEST_F(StatusIndicators, StoppingWithTheStatusHiddenErasesNothing) {
    showVisualisations();
    gSettings->setShowStatus(0);
    player.playState = 0;
    frame();
    EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(StatusIndicators, PausingErasesNothing) {
    showVisualisations();
    player.playState = 3;
    frame();
    EXPECT_EQ(recorder->calls.size(), 1u);
}

TEST_F(StatusIndicators, ShuffleAndRepeatFollowThePlayer) {
    player.shuffle = 1;
    EXPECT_EQ(frame(), (Strings{"10,5:Shuffle"}));
    player.repeat = 5;  // any non-zero answer is on
    EXPECT_EQ(frame(), (Strings{"20,5:Repeat"}));
    player.shuffle = 0;
    player.repeat = 0;
    EXPECT_EQ(frame(), (Strings{"10,5:       ", "20,5:      "}));
    EXPECT_TRUE(frame().empty());
}

TEST_F(StatusIndicators, NullModuleKeepsTheStates) {
    player.playState = 3;
    frame();
    recorder->calls.clear();
    gPlugin->drawStatusIndicators(nullptr);
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_EQ(gPlugin->playState, 3);
}

TEST_F(StatusIndicators, PageControllersGetTheSameCell) {
    useController(5, 128, 64);
    player.playState = 0;
    EXPECT_EQ(frame(), (Strings{"0,5:Stopped"}));
}

} // namespace
} // namespace tessaranth::test
