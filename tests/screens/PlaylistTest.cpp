// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageBusDecoders.h"
#include "ScreenFixture.h"
#include "T6963CDecoder.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tessaranth::test {
namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

class Playlist : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        Settings& s = *gSettings;
        s.setPlaylistX(2), s.setPlaylistY(1);
        s.setPlaylistHeight(5), s.setPlaylistWidth(8), s.setCurrentPosition(3);
        for (int i = 0; i < 20; ++i) player.fileNames.push_back("C:\\Music\\Song" + std::to_string(i) + ".mp3");
    }

    void draw() {
        recorder->calls.clear();
        player.sent.clear();
        gPlugin->drawPlaylist(&module());
    }

    void clear() {
        recorder->calls.clear();
        gPlugin->clearPlaylist();
    }

    // The bars asked for, as column, line, width and 1 for lit.
    std::vector<std::vector<int32_t>> bars() const {
        std::vector<std::vector<int32_t>> found;
        for (const ControllerCall& c : recorder->only("highlightLine")) found.push_back(c.args);
        return found;
    }

    // Each playlist line cleared, as "column,line:spaces".
    Strings clearedLines() const {
        Strings lines;
        for (const ControllerCall& c : recorder->only("clearLine"))
            lines.push_back(std::to_string(c.args[0]) + "," + std::to_string(c.args[1]) + ":" +
                            std::to_string(c.text.size()));
        return lines;
    }
};

TEST_F(Playlist, CurrentSongSitsOnItsLineWithNumbersAroundIt) {
    gSettings->setTrackNumbering(1);
    player.listPosition = 10;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:8. Song7", "2,2:9. Song8", "2,3:10. Song", "2,4:11. Song", "2,5:12. Song"}));
    EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 4, 8, 1}}));
}

TEST_F(Playlist, PlayerIsAskedForTheIndexThenOneNamePerLine) {
    player.listPosition = 1;
    draw();
    ASSERT_EQ(player.sent.size(), 6u);
    EXPECT_EQ(player.sent[0], (SentMessage{0x400, 0, 125}));
    const uintptr_t first = static_cast<uintptr_t>(intptr_t{-2});
    for (uintptr_t i = 0; i < 5; ++i) EXPECT_EQ(player.sent[1 + i], (SentMessage{0x400, first + i, 211}));
}

TEST_F(Playlist, EntriesBeforeTheStartAndPastTheEndAreBlankLines) {
    player.fileNames = {"a\\One.mp3", "a\\Two.mp3"};
    player.listPosition = 0;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:        ", "2,2:        ", "2,3:        ", "2,4:One     ", "2,5:Two     "}));
    gSettings->setCurrentPosition(0);
    player.listPosition = 1;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:Two     ", "2,2:        ", "2,3:        ", "2,4:        ", "2,5:        "}));
}

TEST_F(Playlist, NamesLoseFolderAndExtensionAndLinesAreCutToTheWidth) {
    gSettings->setCurrentPosition(0), gSettings->setPlaylistHeight(1);
    player.fileNames = {"C:\\Music\\Song.mp3"};
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:Song    "}));
    gSettings->setTrackNumbering(1);
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:1. Song "}));
    player.fileNames = {"/home/me/A rather long name.flac"};
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:1. A rat"}));
}

TEST_F(Playlist, ShortNamesAndNamesWithoutFolders) {
    gSettings->setCurrentPosition(0);
    player.fileNames = {"Song.mp3", "abc", "ab.mp3", "", "dir/x.ogg", "a.b"};
    gSettings->setPlaylistHeight(6);
    draw();
    EXPECT_EQ(textWrites(),
              (Strings{"2,1:Song    ", "2,2:abc     ", "2,3:ab      ", "2,4:        ", "2,5:x       ", "2,6:a       "}));
}

TEST_F(Playlist, HostWithoutNamesGivesBlankLines) {
    player.nullFileNames = true;
    draw();
    for (const std::string& line : textWrites()) EXPECT_EQ(line.substr(line.find(':') + 1), "        ");
}

TEST_F(Playlist, CurrentLineBelowTheWindowStillGetsTheBar) {
    gSettings->setPlaylistHeight(2);
    gSettings->setCurrentPosition(4);
    player.listPosition = 10;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"2,1:Song6   ", "2,2:Song7   "}));
    EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 5, 8, 1}}));
}

TEST_F(Playlist, WidestWindowWithEndlessNamesStaysInItsLines) {
    gSettings->setPlaylistWidth(255);
    gSettings->setTrackNumbering(1);
    gSettings->setCurrentPosition(0), gSettings->setPlaylistHeight(2);
    player.fileNames = {std::string(5000, 'n') + ".mp3", "short.mp3"};
    draw();
    const Strings lines = textWrites();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "2,1:1. " + std::string(252, 'n'));
    EXPECT_EQ(lines[1], "2,2:2. short" + std::string(247, ' '));
    EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 1, 255, 1}}));
}

TEST_F(Playlist, ZeroWidthWritesEmptyLines) {
    gSettings->setPlaylistWidth(0);
    draw();
    for (const std::string& line : textWrites()) EXPECT_EQ(line.back(), ':');
}

// Page controllers get the same cells; each driver draws its bar (or none) itself.
TEST_F(Playlist, PageControllersGetTheSameCellsAndBar) {
    for (uint8_t controller : {3, 5}) {
        useController(controller, 128, 64);
        draw();
        EXPECT_EQ(textWrites().front(), "2,1:        ") << int(controller);
        EXPECT_EQ(textWrites().size(), 5u) << int(controller);
        EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 4, 8, 1}})) << int(controller);
    }
}

TEST_F(Playlist, ClearBlanksEveryLineAndDarkensTheBar) {
    for (uint8_t controller : {0, 3, 5}) {
        useController(controller, controller == 0 ? 240 : 128, 64);
        clear();
        EXPECT_EQ(clearedLines(), (Strings{"2,1:8", "2,2:8", "2,3:8", "2,4:8", "2,5:8"})) << int(controller);
        EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 4, 8, 0}})) << int(controller);
    }
}

// Through the frame cycle: a new song redraws the playlist in the same frame.
TEST_F(Playlist, NewSongRedrawsTheWindowInTheSameFrame) {
    gSettings->setShowPlaylist(1);
    gPlugin->renderFrame(&module());
    recorder->calls.clear();
    gPlugin->renderFrame(&module());
    EXPECT_TRUE(textWrites().empty());
    player.listPosition = 4;
    gPlugin->renderFrame(&module());
    const Strings lines = textWrites();
    ASSERT_EQ(lines.size(), 5u);  // the track field is hidden; title and artist are unchanged
    EXPECT_EQ(lines[3], "2,4:Song4   ");
}

TEST_F(Playlist, SwitchingThePlaylistOffClearsItOnTheNextFrame) {
    gSettings->setShowPlaylist(1);
    gPlugin->renderFrame(&module());
    gSettings->setShowPlaylist(0);
    gPlugin->requestPlaylistClear();
    recorder->calls.clear();
    gPlugin->renderFrame(&module());
    EXPECT_EQ(clearedLines().size(), 5u);
    EXPECT_EQ(bars(), (std::vector<std::vector<int32_t>>{{2, 4, 8, 0}}));
}

// Through each controller's own driver, down to what the controller latches.
class PlaylistOnTheBus : public Playlist {
protected:
    void SetUp() override {
        Playlist::SetUp();
        player.listPosition = 10;
    }

    // The five lines the window shows (entries 7 to 11), written straight to the driver.
    std::vector<PortAccess> linesAlone() {
        host.clear();
        for (int l = 0; l < 5; ++l) gController->writeText(2, static_cast<int16_t>(1 + l), lines[l]);
        return host.accesses;
    }

    static constexpr const char* lines[] = {"Song7   ", "Song8   ", "Song9   ", "Song10  ", "Song11  "};
};

// Nine graphic rows of the bar's width from the pixel row above text line `line`, on the
// 240 x 64 layout: graphic home 512, 40 bytes a row.
BusItems textLayerBar(int line, int x, int width, uint8_t value) {
    BusItems items;
    for (int r = 0; r < 9; ++r)
        items = items + addressItems(static_cast<uint16_t>(512 + x + 40 * (8 * line + r - 1))) +
                autoWriteItems(Bytes(static_cast<size_t>(width), value));
    return items;
}

// The Noritake's bar: a run on the second layer (pages 8 and up) from the line's first column.
std::vector<VfdItem> vfdBar(int line, int x, int columns, uint8_t value) {
    std::vector<VfdItem> items{{true, 0x60}, {true, static_cast<uint8_t>(8 + line)}, {true, 0x64},
                               {true, static_cast<uint8_t>(6 * x)}};
    items.insert(items.end(), static_cast<size_t>(columns), VfdItem{false, value});
    return items;
}

template <typename Item>
std::vector<Item> operator+(std::vector<Item> a, const std::vector<Item>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(PlaylistOnTheBus, TextLayerLinesThenNineBarRowsUnderTheCurrentOne) {
    useDriver(0);
    gPlugin->drawPlaylist(&module());
    BusItems expected;
    for (int l = 0; l < 5; ++l) expected = expected + addressItems(static_cast<uint16_t>(40 * (1 + l) + 2)) + textItems(lines[l]);
    EXPECT_EQ(decodeT6963C(host.accesses), expected + textLayerBar(4, 2, 8, 0xFF));
}

TEST_F(PlaylistOnTheBus, WidestWindowBarFillsNineRowsOf255Bytes) {
    useDriver(0);
    gSettings->setPlaylistWidth(255);
    gSettings->setCurrentPosition(0), gSettings->setPlaylistHeight(2);
    gPlugin->drawPlaylist(&module());
    const BusItems items = decodeT6963C(host.accesses);
    const BusItems bar = textLayerBar(1, 2, 255, 0xFF);
    ASSERT_GT(items.size(), bar.size());
    EXPECT_EQ(BusItems(items.end() - static_cast<std::ptrdiff_t>(bar.size()), items.end()), bar);
}

TEST_F(PlaylistOnTheBus, TextLayerClearZeroesEveryCellAndDarkensTheBar) {
    useDriver(0);
    gPlugin->clearPlaylist();
    BusItems expected;
    for (int l = 1; l <= 5; ++l)
        expected = expected + addressItems(static_cast<uint16_t>(40 * l + 2)) + autoWriteItems(Bytes(8, 0));
    EXPECT_EQ(decodeT6963C(host.accesses), expected + textLayerBar(4, 2, 8, 0));
}

TEST_F(PlaylistOnTheBus, NoritakeBarIsOneColumnWiderThanTheTextAndStopsAtTheEdge) {
    useDriver(5, 128, 64);
    gPlugin->drawPlaylist(&module());
    const std::vector<PortAccess> drawn = host.accesses;
    EXPECT_EQ(decodeNoritake(drawn), decodeNoritake(linesAlone()) + vfdBar(4, 2, 49, 0xFF));
    gSettings->setPlaylistWidth(60);
    host.clear();
    gPlugin->drawPlaylist(&module());
    const std::vector<VfdItem> wide = decodeNoritake(host.accesses);
    const std::vector<VfdItem> bar = vfdBar(4, 2, 128 - 12, 0xFF);
    ASSERT_GT(wide.size(), bar.size());
    EXPECT_EQ(std::vector<VfdItem>(wide.end() - static_cast<std::ptrdiff_t>(bar.size()), wide.end()), bar);
}

TEST_F(PlaylistOnTheBus, NoritakeClearDrawsSpacesAndADarkBar) {
    useDriver(5, 128, 64);
    gPlugin->clearPlaylist();
    std::vector<VfdItem> expected;
    for (int l = 1; l <= 5; ++l) {
        expected = expected + std::vector<VfdItem>{{true, 0x60}, {true, static_cast<uint8_t>(l)}, {true, 0x64}, {true, 12}};
        expected.insert(expected.end(), 48, VfdItem{false, 0});
    }
    EXPECT_EQ(decodeNoritake(host.accesses), expected + vfdBar(4, 2, 49, 0));
}

TEST_F(PlaylistOnTheBus, KS0108BDrawsTheLinesAndNoBar) {
    useDriver(3, 128, 64);
    gPlugin->drawPlaylist(&module());
    const std::vector<PortAccess> drawn = host.accesses;
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, linesAlone());
}

} // namespace
} // namespace tessaranth::test
