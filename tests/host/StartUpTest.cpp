// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"
#include "RecordingController.h"
#include "T6963CDecoder.h"

#include "controllers/T6963C.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstring>

namespace tessaranth::test {
namespace {

// The sixteen bar glyphs, row 0 (top) first: '#' is a row of five lit dots (31).
constexpr const char* barGlyphs[16] = {
    ".......#", "......##", ".....###", "....####", "...#####", "..######", ".#######", "########",
    "#.......", "##......", "###.....", "####....", "#####...", "######..", "#######.", "########",
};

BusItems glyphItems() {
    BusItems items;
    for (int index = 0; index < 16; ++index) {
        std::vector<uint8_t> rows;
        for (int row = 0; row < 8; ++row) rows.push_back(barGlyphs[index][row] == '#' ? 31 : 0);
        items = items + addressItems(static_cast<uint16_t>(0x1C00 + 8 * index)) + autoWriteItems(rows);
    }
    return items;
}

BusItems screenItems(uint16_t graphicHome, std::size_t bytes) {
    return addressItems(graphicHome) + autoWriteItems(std::vector<uint8_t>(bytes, 0));
}

bool anyBoxMentions(const HostRecorder& host, const char* word) {
    return std::any_of(host.boxes.begin(), host.boxes.end(),
                       [word](const MessageBoxRecord& b) { return b.text.find(word) != std::string::npos; });
}

using StartUp = PluginFixture;

TEST_F(StartUp, DefaultRecordBringsUpA128x64T6963C) {
    init();
    ASSERT_NE(dynamic_cast<T6963C*>(gController), nullptr);
    EXPECT_FALSE(gPlugin->inEmergency());
    EXPECT_EQ(gPlugin->portAddress, 0x378);
    ASSERT_FALSE(host.accesses.empty());
    EXPECT_EQ(host.accesses[0], (PortAccess{true, 0x37A, 4}));
    EXPECT_EQ(decodeT6963C(host.accesses), initItems(0, 22, 512, 24, 64) + glyphItems() + screenItems(512, 24 * 64));
    EXPECT_FALSE(anyBoxMentions(host, "emergency"));
    EXPECT_TRUE(player.sent.empty()) << "start-up draws nothing and sends the host nothing";
}

TEST_F(StartUp, TheBackgroundIsSentFromTheLayoutsImage) {
    gSettings->setInverse(1);
    init();
    const BusItems all = decodeT6963C(host.accesses);
    const BusItems screen = addressItems(512) + autoWriteItems(std::vector<uint8_t>(24 * 64, 0xFF));
    ASSERT_GE(all.size(), screen.size());
    EXPECT_EQ(BusItems(all.end() - static_cast<long>(screen.size()), all.end()), screen);
}

TEST_F(StartUp, ThePortAddressComesFromTheSettings) {
    gSettings->setLptAddress(0x278);
    init();
    EXPECT_EQ(gPlugin->getPortAddress(), 0x278);
    for (const PortAccess& a : host.accesses) ASSERT_TRUE(a.port >= 0x278 && a.port <= 0x27A) << a.port;
    EXPECT_EQ(decodeT6963C(host.accesses, {0x278, 1, 8, 4}).size(), decodeT6963C(host.accesses, {0x278}).size());
}

TEST_F(StartUp, DisplayFormatPicksTheSize) {
    struct Case {
        uint8_t format;
        uint16_t width, height;
    };
    const Case cases[] = {{0, 128, 64},  {1, 128, 128}, {2, 240, 64}, {3, 240, 128}, {4, 256, 128}, {5, 320, 200},
                          {6, 320, 240}, {7, 192, 64},  {8, 128, 32}, {9, 8, 8},     {10, 256, 64}, {11, 8, 8},  {200, 8, 8}};
    for (const Case& c : cases) {
        gSettings->setDisplayFormat(c.format);
        init();
        EXPECT_EQ(gLcd->width(), c.width) << int(c.format);
        EXPECT_EQ(gLcd->height(), c.height) << int(c.format);
        quit();
    }
}

TEST_F(StartUp, AnUnknownSizeStillStartsWithoutTouchingMemoryOutsideTheLayout) {
    gSettings->setDisplayFormat(9);  // the list's "256 x 32 (N/A)"
    init();
    EXPECT_EQ(gLcd->graphicRowBytes(), 0);
    EXPECT_EQ(decodeT6963C(host.accesses), initItems(0, 0, 0, 0, 8) + glyphItems() + screenItems(0, 0));
}

TEST_F(StartUp, AControllerWithoutADriverEndsInTheEmergencyState) {
    for (uint8_t controller : {12, 200}) {
        host.clear();
        player.sent.clear();
        gSettings->setController(controller);
        init();
        EXPECT_EQ(gController, nullptr);
        EXPECT_TRUE(gPlugin->inEmergency());
        ASSERT_EQ(host.boxes.size(), 2u);
        EXPECT_EQ(host.boxes[0].text, "init: no display driver for controller " + std::to_string(controller));
        EXPECT_EQ(host.boxes[0].style, 0x30u);
        EXPECT_EQ(host.boxes[1].text, "init: emergency shutdown");
        EXPECT_EQ(host.boxes[1].caption, "Tessaranth");
        EXPECT_EQ(player.sent, (std::vector<SentMessage>{{0x0111, 40001, 0}}));
        EXPECT_TRUE(host.accesses.empty());
        render(2);
        EXPECT_EQ(player.sent.size(), 1u);
        quit();
        EXPECT_EQ(host.boxes.back().text, "quit: emergency shutdown");
        EXPECT_EQ(host.boxes.size(), 3u);
        EXPECT_TRUE(host.accesses.empty()) << "no farewell in the emergency path";
        EXPECT_EQ(gLcd, nullptr);
    }
}

TEST_F(StartUp, InitAfterQuitStartsAgainFromScratch) {
    init();
    const std::vector<PortAccess> first = host.accesses;
    gPlugin->titleScrolling = 1;
    std::strcpy(gPlugin->shownTitle, "old title");
    gPlugin->shownPlayState = 3;
    quit();
    host.clear();
    init();
    ASSERT_NE(gLcd, nullptr);
    ASSERT_NE(gAnalyzer, nullptr);
    ASSERT_NE(gModelEngine, nullptr);
    EXPECT_EQ(host.accesses, first);
    EXPECT_STREQ(gPlugin->shownTitle, "") << "the next frame draws every field again";
    EXPECT_EQ(gPlugin->shownPlayState, 1);
    EXPECT_EQ(gPlugin->titleScrolling, 0);
}

TEST_F(StartUp, ASecondInitWhileRunningChangesNothing) {
    init();
    ControllerLSI* driver = gController;
    host.clear();
    init();
    EXPECT_EQ(gController, driver);
    EXPECT_TRUE(host.accesses.empty());
}

TEST_F(StartUp, InitAfterAnEmergencyQuitCanStartNormally) {
    gSettings->setController(12);
    init();
    quit();
    gSettings->setController(0);
    host.clear();
    init();
    EXPECT_FALSE(gPlugin->inEmergency());
    EXPECT_NE(gController, nullptr);
    EXPECT_FALSE(host.accesses.empty());
}

// ---- shutdown ----

class ShutDown : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        gSettings->setDisplayFormat(2);  // 240 x 64: 40 text cells per row
        init();
        host.clear();
    }

    // Quits and returns the farewell traffic.
    BusItems farewell() {
        quit();
        return decodeT6963C(host.accesses);
    }

    static BusItems at(int column, int row, const char* text) {
        return addressItems(static_cast<uint16_t>(row * 40 + column)) + textItems(text);
    }
};

TEST_F(ShutDown, DefaultRecordCentresTitleAndArtist) {
    EXPECT_EQ(farewell(), at(0, 0, "     Tessaranth      ") + at(0, 1, " ..:: BYE BYE ::..  "));
    EXPECT_EQ(gLcd, nullptr);
    EXPECT_EQ(gController, nullptr);
    EXPECT_EQ(gAnalyzer, nullptr);
    EXPECT_EQ(gModelEngine, nullptr);
    EXPECT_NE(gSettings, nullptr);
    EXPECT_NE(gPlugin, nullptr);
}

TEST_F(ShutDown, TitlePaddingFollowsTheFieldLength) {
    struct Case {
        uint8_t length;
        const char* line;
    };
    const Case cases[] = {
        {20, "     Tessaranth      "},  // one more than the field
        {21, "     Tessaranth      "},  // exactly the field
        {10, "Tessaranth "},
        {22, "Tessaranth is shutdown "},
        {25, " Tessaranth is shutdown  "},
        {9, "Tessaranth is shutdown"},  // longer than its field: written alone
        {0, "Tessaranth is shutdown"},
    };
    for (const Case& c : cases) {
        SetUp();
        gSettings->setShowArtist(0);
        gSettings->setTitleLength(c.length);
        gSettings->setTitleX(2);
        gSettings->setTitleY(1);
        EXPECT_EQ(farewell(), at(2, 1, c.line)) << int(c.length);
        TearDown();
    }
}

TEST_F(ShutDown, ArtistPaddingFollowsTheFieldLength) {
    struct Case {
        uint8_t length;
        const char* line;
    };
    const Case cases[] = {
        {20, " ..:: BYE BYE ::..  "}, {7, "BYE BYE "},           {16, "    BYE BYE     "},
        {17, "..:: BYE BYE ::.. "},   {6, "..:: BYE BYE ::.."},  {255, nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        gSettings->setShowTitle(0);
        gSettings->setArtistLength(c.length);
        if (c.line) {
            EXPECT_EQ(farewell(), at(0, 1, c.line)) << int(c.length);
        } else {
            const std::string line = std::string(119, ' ') + "..:: BYE BYE ::.." + std::string(120, ' ');
            EXPECT_EQ(farewell(), at(0, 1, line.c_str()));
        }
        TearDown();
    }
}

TEST_F(ShutDown, EveryShownFieldGetsItsFarewellInTableOrder) {
    Settings& s = *gSettings;
    s.setShowTitle(0);
    s.setShowArtist(0);
    for (auto show : {&Settings::setShowTrack, &Settings::setShowTime, &Settings::setShowBitrate,
                      &Settings::setShowSamplerate, &Settings::setShowTrackinfo, &Settings::setShowStatus,
                      &Settings::setShowShuffle, &Settings::setShowRepeat})
        (s.*show)(1);
    s.setTrackX(1);
    s.setShuffleX(30);
    s.setRepeatX(20);
    EXPECT_EQ(farewell(), at(1, 2, "---/---") + at(0, 3, "--:--/--:--") + at(0, 5, "---") + at(0, 4, "--") +
                              at(0, 6, "------") + at(0, 7, "       ") + at(30, 9, "       ") +
                              at(20, 8, "      "));
}

TEST_F(ShutDown, ExtendedTrackNumbersGetTheLongerPlaceholder) {
    gSettings->setShowTitle(0);
    gSettings->setShowArtist(0);
    gSettings->setShowTrack(1);
    gSettings->setExtTrackSupport(1);
    EXPECT_EQ(farewell(), at(0, 2, "----/----"));
}

TEST_F(ShutDown, NoShownFieldMeansNoTraffic) {
    gSettings->setShowTitle(0);
    gSettings->setShowArtist(0);
    EXPECT_TRUE(farewell().empty());
    EXPECT_TRUE(host.boxes.empty());
}

class ShutDownEnding : public ShutDown {
protected:
    // Puts a recording driver in place of the one start-up made.
    void replaceDriver() {
        gSettings->setShowTitle(0);
        gSettings->setShowArtist(0);
        delete gController;
        gController = new RecordingController(&calls);
    }
    std::vector<std::string> calls;
};

TEST_F(ShutDownEnding, TheDriverIsClosedOnceAfterTheFarewells) {
    replaceDriver();
    gSettings->setShowTitle(1);
    quit();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].rfind("writeText 0 0 ", 0), 0u) << calls[0];
    EXPECT_EQ(calls[1], "close");
    EXPECT_EQ(gController, nullptr);
}

TEST_F(ShutDownEnding, ControllersWithoutAnEndingSendNothingAfterTheFarewells) {
    for (uint8_t controller : {0, 1, 2, 3, 4}) {
        SetUp();
        gSettings->setController(controller);
        gSettings->setDisplayFormat(0);
        gSettings->setShowTitle(0);
        gSettings->setShowArtist(0);
        init();
        host.clear();
        quit();
        EXPECT_TRUE(host.accesses.empty()) << int(controller);
        EXPECT_TRUE(host.sleeps.empty()) << int(controller);
        TearDown();
    }
}

TEST_F(ShutDownEnding, TheEndingFollowsTheControllerStartedWithNotTheLiveSetting) {
    gSettings->setShowTitle(0);
    gSettings->setShowArtist(0);
    gSettings->setController(5);
    quit();
    EXPECT_TRUE(host.accesses.empty()) << "the T6963C started with has no fade";
    EXPECT_TRUE(host.sleeps.empty());
}

TEST_F(ShutDownEnding, AnEmergencyRaisedWhileRunningSkipsFarewellAndEnding) {
    replaceDriver();
    gSettings->setShowTitle(1);
    gPlugin->raiseEmergencyShutdown();
    quit();
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "quit: emergency shutdown");
    EXPECT_EQ(gController, nullptr);
}

} // namespace
} // namespace tessaranth::test
