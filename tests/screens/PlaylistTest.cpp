#include "ScreenFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

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

    // The bar's writes, as "address:count:byte".
    Strings barRuns() const {
        Strings runs;
        uint32_t address = 0;
        for (const ControllerCall& c : recorder->calls) {
            if (c.op == "setAddress") address = c.args[0];
            if (c.op != "writeRun") continue;
            const bool uniform = std::all_of(c.bytes.begin(), c.bytes.end(), [&](uint8_t b) { return b == c.bytes[0]; });
            runs.push_back(std::to_string(address) + ":" + std::to_string(c.args[0]) + ":" +
                           (uniform ? std::to_string(c.bytes.empty() ? 0 : c.bytes[0]) : "mixed"));
        }
        return runs;
    }

    // The nine bar rows on the 240 x 64 layout: graphic home 512, 40 bytes a row, starting one
    // pixel row above text line `line`.
    static Strings textLayerBar(int line, int x, int width, int value) {
        Strings runs;
        for (int r = 0; r < 9; ++r)
            runs.push_back(std::to_string(512 + x + 40 * (8 * line + r - 1)) + ":" + std::to_string(width) + ":" +
                           std::to_string(value));
        return runs;
    }
};

TEST_F(Playlist, CurrentSongSitsOnItsLineWithNumbersAroundIt) {
    gSettings->setTrackNumbering(1);
    player.listPosition = 10;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"42:8. Song7", "82:9. Song8", "122:10. Song", "162:11. Song", "202:12. Song"}));
    EXPECT_EQ(barRuns(), textLayerBar(4, 2, 8, 0xFF));
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
    EXPECT_EQ(textWrites(), (Strings{"42:        ", "82:        ", "122:        ", "162:One     ", "202:Two     "}));
    gSettings->setCurrentPosition(0);
    player.listPosition = 1;
    draw();
    EXPECT_EQ(textWrites(), (Strings{"42:Two     ", "82:        ", "122:        ", "162:        ", "202:        "}));
}

TEST_F(Playlist, NamesLoseFolderAndExtensionAndLinesAreCutToTheWidth) {
    gSettings->setCurrentPosition(0), gSettings->setPlaylistHeight(1);
    player.fileNames = {"C:\\Music\\Song.mp3"};
    draw();
    EXPECT_EQ(textWrites(), (Strings{"42:Song    "}));
    gSettings->setTrackNumbering(1);
    draw();
    EXPECT_EQ(textWrites(), (Strings{"42:1. Song "}));
    player.fileNames = {"/home/me/A rather long name.flac"};
    draw();
    EXPECT_EQ(textWrites(), (Strings{"42:1. A rat"}));
}

TEST_F(Playlist, ShortNamesAndNamesWithoutFolders) {
    gSettings->setCurrentPosition(0);
    player.fileNames = {"Song.mp3", "abc", "ab.mp3", "", "dir/x.ogg", "a.b"};
    gSettings->setPlaylistHeight(6);
    draw();
    EXPECT_EQ(textWrites(),
              (Strings{"42:Song    ", "82:abc     ", "122:ab      ", "162:        ", "202:x       ", "242:a       "}));
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
    EXPECT_EQ(textWrites(), (Strings{"42:Song6   ", "82:Song7   "}));
    EXPECT_EQ(barRuns(), textLayerBar(5, 2, 8, 0xFF));
}

TEST_F(Playlist, WidestWindowWithEndlessNamesStaysInItsLines) {
    gSettings->setPlaylistWidth(255);
    gSettings->setTrackNumbering(1);
    gSettings->setCurrentPosition(0), gSettings->setPlaylistHeight(2);
    player.fileNames = {std::string(5000, 'n') + ".mp3", "short.mp3"};
    draw();
    const Strings lines = textWrites();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "42:1. " + std::string(252, 'n'));
    EXPECT_EQ(lines[1], "82:2. short" + std::string(247, ' '));
    EXPECT_EQ(barRuns().front(), "794:255:255");
}

TEST_F(Playlist, ZeroWidthWritesEmptyLines) {
    gSettings->setPlaylistWidth(0);
    draw();
    for (const std::string& line : textWrites()) EXPECT_EQ(line.back(), ':');
}

TEST_F(Playlist, NoritakeBarIsOneColumnWiderThanTheText) {
    useController(5, 128, 64);
    draw();
    EXPECT_EQ(textWrites().front(), std::to_string(2 * 256 + 1) + ":        ");
    EXPECT_EQ(barRuns(), (Strings{std::to_string(2 * 256 + 4) + ":49:255"}));
    gSettings->setPlaylistWidth(60);
    draw();
    EXPECT_EQ(barRuns(), (Strings{std::to_string(2 * 256 + 4) + ":255:255"})) << "a run counts in eight bits";
}

TEST_F(Playlist, KS0108BHasNoBar) {
    useController(3, 128, 64);
    draw();
    EXPECT_EQ(textWrites().size(), 5u);
    EXPECT_TRUE(barRuns().empty());
}

TEST_F(Playlist, ClearOnTextLayerBlanksEveryCellAndTheBar) {
    clear();
    std::vector<std::string> ops;
    uint32_t address = 0;
    int zeros = 0;
    Strings lines;
    for (const ControllerCall& c : recorder->calls) {
        if (c.op == "setAddress") address = c.args[0];
        if (c.op == "writeData" && c.args[0] == 0) ++zeros;
        if (c.op == "writeCommand" && c.args[0] == CallRecorder::autoReset) {
            lines.push_back(std::to_string(address) + ":" + std::to_string(zeros));
            zeros = 0;
        }
    }
    EXPECT_EQ(lines, (Strings{"42:8", "82:8", "122:8", "162:8", "202:8"}));
    EXPECT_EQ(barRuns(), textLayerBar(4, 2, 8, 0));
}

TEST_F(Playlist, ClearOnPageControllersWritesSpaces) {
    useController(5, 128, 64);
    clear();
    const std::string blank(8, ' ');
    EXPECT_EQ(textWrites(), (Strings{"513:" + blank, "514:" + blank, "515:" + blank, "516:" + blank, "517:" + blank}));
    EXPECT_EQ(barRuns(), (Strings{"516:49:0"}));
    useController(3, 128, 64);
    clear();
    EXPECT_EQ(textWrites().size(), 5u);
    EXPECT_TRUE(barRuns().empty());
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
    EXPECT_EQ(lines[3], "162:Song4   ");
}

TEST_F(Playlist, SwitchingThePlaylistOffClearsItOnTheNextFrame) {
    gSettings->setShowPlaylist(1);
    gPlugin->renderFrame(&module());
    gSettings->setShowPlaylist(0);
    gPlugin->requestPlaylistClear();
    recorder->calls.clear();
    gPlugin->renderFrame(&module());
    EXPECT_EQ(barRuns(), textLayerBar(4, 2, 8, 0));
}

} // namespace
} // namespace tessaranth::test
