// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScreenFixture.h"
#include "T6963CDecoder.h"

#include "controllers/Fonts.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tessaranth::test {
namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

class TrackFields : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        Settings& s = *gSettings;
        s.setTitleX(0), s.setTitleY(0), s.setTitleLength(20);
        s.setArtistX(0), s.setArtistY(1), s.setArtistLength(20);
        s.setTimeX(21), s.setTimeY(0);
        s.setTrackX(21), s.setTrackY(1);
        s.setBitrateX(21), s.setBitrateY(2);
        s.setSamplerateX(26), s.setSamplerateY(2);
        s.setTrackinfoX(30), s.setTrackinfoY(2);
        for (auto show : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTime,
                          &Settings::setShowTrack, &Settings::setShowBitrate, &Settings::setShowSamplerate,
                          &Settings::setShowTrackinfo})
            (s.*show)(1);
        s.setScrollSpeed(0);  // a step every third call
    }

    void frame() {
        recorder->calls.clear();
        gPlugin->drawTextFields(&module());
    }

    // The writeBlock calls of the frames run, as (y, width).
    Strings blocksOver(int frames) {
        Strings blocks;
        for (int i = 0; i < frames; ++i) {
            frame();
            for (const ControllerCall& c : recorder->only("writeBlock"))
                blocks.push_back(std::to_string(c.args[1]) + "/" + std::to_string(c.args[3]));
        }
        return blocks;
    }

    // The first `cells` cells of each row of text's scroll line, as a text-layer block carries them.
    static Bytes rowWindow(const std::string& text, int cells) {
        Bytes out;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < cells; ++c) out.push_back(fonts::rowGlyph(text[c])[r]);
        return out;
    }
};

TEST_F(TrackFields, FirstFrameWritesEveryShownFieldInOrder) {
    frame();
    EXPECT_EQ(textWrites(), (Strings{"21,0:03:00/03:00", "0,0:Title", "0,1:Artist", "21,1:  1/ 10", "21,2:128 ",
                                     "26,2:44", "30,2:Stereo"}));
}

TEST_F(TrackFields, PlayerIsAskedInTheFixedOrder) {
    frame();
    EXPECT_EQ(player.titleReads, 1);
    EXPECT_EQ(player.sent, (std::vector<SentMessage>{{0x400, 0, 105},
                                                     {0x400, 1, 105},
                                                     {0x400, 0, 126},
                                                     {0x400, 1, 126},
                                                     {0x400, 2, 126},
                                                     {0x400, 0, 124},
                                                     {0x400, 0, 125}}));
}

TEST_F(TrackFields, FixedTitleBlanksItsFieldBeforeWriting) {
    gSettings->setShowArtist(0);
    gSettings->setTitleLength(3);
    player.windowTitle = "1. A - Hi - Winamp";
    frame();
    ASSERT_GE(recorder->calls.size(), 3u);  // the time field first
    EXPECT_EQ(recorder->calls[1], (ControllerCall{"blankText", {0, 0, 3}, {}, {}}));
    EXPECT_EQ(recorder->calls[2], (ControllerCall{"writeText", {0, 0}, {}, "Hi"}));
}

TEST_F(TrackFields, SecondIdenticalFrameWritesNothing) {
    player.windowTitle = "1. Artist - " + std::string(40, 'L') + " - Winamp";  // cut, not scrolled
    gSettings->setScrollTitle(0);
    frame();
    frame();
    EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(TrackFields, OnlyTheChangedFieldIsRewritten) {
    frame();
    player.positionMillis = 61000;
    player.bitrate = 96;
    frame();
    EXPECT_EQ(textWrites(), (Strings{"21,0:01:59/03:00", "21,2:96  "}));
}

TEST_F(TrackFields, EmptyTitleIsNotDrawnOnTheFirstFrame) {
    player.windowTitle = "";
    gSettings->setShowTime(0), gSettings->setShowTrack(0), gSettings->setShowBitrate(0);
    gSettings->setShowSamplerate(0), gSettings->setShowTrackinfo(0);
    frame();
    EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(TrackFields, HiddenFieldIsDrawnWhenShownAgainAfterAChange) {
    gSettings->setShowTime(0);
    frame();
    player.positionMillis = 5000;
    frame();
    EXPECT_TRUE(textWrites().empty());
    gSettings->setShowTime(1);
    frame();
    EXPECT_EQ(textWrites(), (Strings{"21,0:02:55/03:00"}));
}

TEST_F(TrackFields, TimeFollowsTheTimeType) {
    player.positionMillis = 65500;
    player.lengthSeconds = 245;
    gSettings->setTimeType(1);
    frame();
    EXPECT_EQ(textWrites()[0], "21,0:01:05/04:05");
    gSettings->setTimeType(0);
    frame();
    EXPECT_EQ(textWrites(), (Strings{"21,0:03:00/04:05"}));
}

TEST_F(TrackFields, UnusualChannelCountLeavesTheShownText) {
    player.channels = 1;
    frame();
    player.channels = 6;
    frame();
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_STREQ(gPlugin->channelsText, "Mono  ");
}

TEST_F(TrackFields, TrackChangeAsksForAPlaylistRedraw) {
    gSettings->setShowPlaylist(1);
    frame();
    EXPECT_EQ(gPlugin->playlistRedrawPending, 1);
    gPlugin->playlistRedrawPending = 0;
    frame();
    EXPECT_EQ(gPlugin->playlistRedrawPending, 0) << "same track";
    player.listLength = 11;
    gSettings->setShowTrack(0);
    frame();
    EXPECT_EQ(gPlugin->playlistRedrawPending, 1) << "entry count changed while the track field is hidden";
    EXPECT_TRUE(textWrites().empty());
    EXPECT_STREQ(gPlugin->shownTrackText, "  1/ 11");
}

TEST_F(TrackFields, WideTrackNumbers) {
    gSettings->setExtTrackSupport(1);
    player.listPosition = 4;
    player.listLength = 12;
    frame();
    EXPECT_EQ(textWrites()[3], "21,1:   5/  12");
}

TEST_F(TrackFields, TitleOfExactlyTheFieldLengthStaysFixed) {
    gSettings->setTitleLength(5);
    player.windowTitle = "1. Artist - Title - Winamp";
    EXPECT_TRUE(blocksOver(6).empty());
    EXPECT_EQ(gPlugin->titleScrolling, 0);
}

TEST_F(TrackFields, OneCharacterMoreScrollsAtThePaceOfTheSpeed) {
    gSettings->setTitleLength(5);
    player.windowTitle = "1. Artist - Titles - Winamp";
    frame();
    EXPECT_EQ(gPlugin->titleScrolling, 1);
    for (const std::string& write : textWrites()) EXPECT_NE(write.substr(0, 4), "0,0:") << "no title text";
    EXPECT_EQ(recorder->only("writeBlock").size(), 0u);
    frame();
    frame();
    const std::vector<ControllerCall> blocks = recorder->only("writeBlock");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].args, (std::vector<int32_t>{0, 0, 8, 5}));
    EXPECT_EQ(blocks[0].bytes, rowWindow("Titles", 5));
    gSettings->setScrollSpeed(2);  // threshold 9
    EXPECT_EQ(blocksOver(18).size(), 2u);
}

TEST_F(TrackFields, TitleAndArtistScrollingTakeTurns) {
    gSettings->setTitleLength(3);
    gSettings->setArtistLength(3);
    gSettings->setScrollArtist(1);
    EXPECT_EQ(blocksOver(6), (Strings{"0/3", "1/3", "0/3", "1/3"}));
}

TEST_F(TrackFields, ChangedLongTitleRebuildsTheScrollLine) {
    gSettings->setTitleLength(4);
    player.windowTitle = "1. A - Abcdefg - Winamp";
    blocksOver(4);
    player.windowTitle = "1. A - Xyzwvut - Winamp";
    std::vector<ControllerCall> blocks;
    for (int i = 0; i < 3 && blocks.empty(); ++i) {
        frame();
        blocks = recorder->only("writeBlock");
    }
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].bytes, rowWindow("Xyzwvut", 4));
    EXPECT_TRUE(recorder->only("writeText").empty());
}

TEST_F(TrackFields, ShortTitleEndsTheScrollAndIsWrittenFixed) {
    gSettings->setTitleLength(5);
    player.windowTitle = "1. A - Long title - Winamp";
    blocksOver(3);
    player.windowTitle = "1. A - Hi - Winamp";
    frame();
    EXPECT_EQ(gPlugin->titleScrolling, 0);
    ASSERT_GE(recorder->calls.size(), 1u);
    const ControllerCall& erase = recorder->calls[0];
    EXPECT_EQ(erase.op, "writeBlock");
    EXPECT_EQ(erase.bytes, Bytes(40, 0));
    EXPECT_EQ(textWrites(), (Strings{"0,0:Hi"}));
    EXPECT_TRUE(blocksOver(6).empty());
}

TEST_F(TrackFields, ScrollSwitchedOffStopsTheMovementUntilTheTitleChanges) {
    gSettings->setTitleLength(5);
    player.windowTitle = "1. A - Long title - Winamp";
    blocksOver(3);
    gSettings->setScrollTitle(0);
    EXPECT_TRUE(blocksOver(9).empty());
    EXPECT_EQ(gPlugin->titleScrolling, 1);
    player.windowTitle = "1. A - Other long title - Winamp";
    frame();
    EXPECT_EQ(gPlugin->titleScrolling, 0);
    EXPECT_EQ(textWrites(), (Strings{"0,0:Other"}));
    EXPECT_EQ(recorder->only("writeBlock").size(), 1u) << "the scroll line is erased once";
}

TEST_F(TrackFields, ScrollSwitchedOnLetsTheCutTitleScroll) {
    gSettings->setTitleLength(5);
    gSettings->setScrollTitle(0);
    player.windowTitle = "1. A - Long title - Winamp";
    frame();
    EXPECT_EQ(textWrites()[1], "0,0:Long ");
    gSettings->setScrollTitle(1);
    EXPECT_EQ(blocksOver(3).size(), 1u);
}

TEST_F(TrackFields, VeryLongTextsStayInTheirFields) {
    gSettings->setScrollTitle(0);
    gSettings->setTitleLength(255);
    gSettings->setArtistLength(255);
    player.windowTitle = "1. " + std::string(150, 'a') + " - " + std::string(90, 't') + " - Winamp" + std::string(300, '!');
    frame();
    EXPECT_EQ(std::strlen(gPlugin->artist), 127u);
    EXPECT_EQ(textWrites()[1], "0,0:" + std::string(90, 't'));
    EXPECT_EQ(textWrites()[2], "0,1:" + std::string(127, 'a'));
}

TEST_F(TrackFields, PageControllerScrollsColumnBytes) {
    useController(3, 128, 64);
    gSettings->setShowArtist(0);
    gSettings->setTitleLength(5);
    player.windowTitle = "1. A - Titles - Winamp";
    frame();
    EXPECT_EQ(recorder->only("blankText"), (std::vector<ControllerCall>{{"blankText", {0, 0, 5}, {}, {}}}))
        << "the field blanked";
    EXPECT_EQ(blocksOver(2), (Strings{"0/5"})) << "the first step of the line";
    const ControllerCall step = recorder->only("writeBlock").back();
    ASSERT_EQ(step.bytes.size(), 30u);
    EXPECT_EQ(Bytes(step.bytes.begin(), step.bytes.begin() + 6), (Bytes{0x00, 0x01, 0x01, 0x7F, 0x01, 0x01}))
        << "a T standing upright";
}

// Through the frame cycle and the T6963C driver, down to the bytes the controller latches.
class TrackFieldsOnTheBus : public PluginFixture {};

TEST_F(TrackFieldsOnTheBus, TitleReachesTheTextLayerAndAnUnchangedFrameSendsNothing) {
    ASSERT_EQ(init(), 0);
    gSettings->setShowArtist(0);
    host.clear();
    render();
    EXPECT_EQ(decodeT6963C(host.accesses),
              addressItems(0) + autoWriteItems(Bytes(20, 0)) + addressItems(0) + textItems("Title"));
    host.clear();
    render();
    EXPECT_TRUE(host.writes().empty());
}

} // namespace
} // namespace tessaranth::test
