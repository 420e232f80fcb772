// SPDX-License-Identifier: GPL-2.0-or-later
// What the glass shows: text fields, a scrolling title and the playlist on emulated displays,
// read back cell by cell from the screen image.
#include "../emu/EmulatedPlugin.h"

#include "controllers/Fonts.h"
#include "emu/CharacterRom.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaranth::test {
namespace {

// Row r of the 6-pixel cell that shows character c, bit 5 leftmost.
using CellRow = uint8_t (*)(char c, int r);

uint8_t romRow(char c, int r) { return emu::romGlyphRow(static_cast<uint8_t>(c), r); }
uint8_t rowFontRow(char c, int r) { return fonts::rowGlyph(c)[r]; }
// A page controller's character: a blank column, then the five columns of the column font.
uint8_t columnFontRow(char c, int r) {
    uint8_t bits = 0;
    for (int k = 0; k < fonts::columnGlyphColumns; ++k)
        if (fonts::columnGlyph(c)[k] >> r & 1) bits |= static_cast<uint8_t>(0x10 >> k);
    return bits;
}

// The characters in `count` cells of text row `line`; a cell that shows no character reads as
// '#'. With `inverted`, lit and dark swap (text over a bar). Only the top `rows` pixel rows of
// each cell are compared.
std::string readText(const emu::ScreenImage& screen, int column, int line, int count, CellRow glyph,
                     bool inverted = false, int rows = 8) {
    std::string text;
    for (int cell = column; cell < column + count; ++cell) {
        char found = '#';
        for (int code = 32; code < 127 && found == '#'; ++code) {
            bool same = true;
            for (int r = 0; r < rows && same; ++r)
                for (int k = 0; k < 6 && same; ++k)
                    same = screen.pixel(cell * 6 + k, line * 8 + r) == (((glyph(static_cast<char>(code), r) >> (5 - k)) & 1) != inverted);
            if (same) found = static_cast<char>(code);
        }
        text += found;
    }
    return text;
}

struct Panel {
    const char* name;
    uint8_t controller;
    uint8_t displayFormat;
    CellRow text;
};

class Glass : public EmulatedPlugin, public ::testing::WithParamInterface<Panel> {
protected:
    void start() {
        attachDisplay({.controller = GetParam().controller, .displayFormat = GetParam().displayFormat});
        playStandardTrack();
        gSettings->setShowAnalyzer(0), gSettings->setShowScope(0), gSettings->setShowVUMeter(0);
        ASSERT_EQ(init(), 0);
    }
    std::string line(int row, int count, CellRow glyph = nullptr) {
        return readText(display->screen(), 0, row, count, glyph ? glyph : GetParam().text);
    }
};

TEST_P(Glass, TrackFieldsReadAsTheirTexts) {
    start();
    render();
    EXPECT_EQ(line(0, 20), "Northern Lights     ");
    EXPECT_EQ(line(1, 20), "Marla Voss          ");
    EXPECT_EQ(line(2, 11), "02:42/04:05");
    player.positionMillis = 84000;
    render();
    EXPECT_EQ(line(2, 11), "02:41/04:05");
    expectNoProblems();
}

TEST_P(Glass, ScrollingTitleReadsCorrectlyAndMovesByOneCellEverySixSteps) {
    start();
    gSettings->setTitleLength(10);
    gSettings->setScrollTitle(1);
    gSettings->setScrollSpeed(0);
    render(3);
    EXPECT_EQ(line(0, 10, rowFontRow), "Northern L");
    EXPECT_EQ(line(0, 11).substr(10), " ") << "the field ends at its length";
    render(6 * 3);
    EXPECT_EQ(line(0, 10, rowFontRow), "orthern Li");
    expectNoProblems();
}

TEST_P(Glass, QuitWhileScrollingLeavesOnlyTheFarewell) {
    start();
    gSettings->setTitleLength(10);
    gSettings->setScrollTitle(1);
    render(9);
    quit();
    if (GetParam().controller == 5) {
        EXPECT_EQ(display->screen().litCount(), 0) << "the VFD is cleared after its fade";
        return;
    }
    EXPECT_EQ(line(0, 10), "Tessaranth");
    EXPECT_EQ(line(2, 11), "--:--/--:--");
}

INSTANTIATE_TEST_SUITE_P(Panels, Glass,
                         ::testing::Values(Panel{"T6963C", 0, 2, romRow}, Panel{"KS0108B", 3, 0, columnFontRow},
                                           Panel{"Noritake", 5, 0, columnFontRow}),
                         [](const ::testing::TestParamInfo<Panel>& p) { return std::string(p.param.name); });

class GlassPlaylist : public EmulatedPlugin {};

TEST_F(GlassPlaylist, CurrentSongShowsInverseOnItsBar) {
    attachDisplay({.controller = 0, .displayFormat = 3});  // 240 x 128
    playStandardTrack();
    Settings& s = *gSettings;
    s.setShowAnalyzer(0), s.setShowScope(0), s.setShowVUMeter(0);
    s.setPlaylistX(0), s.setPlaylistY(10), s.setPlaylistHeight(5), s.setPlaylistWidth(30), s.setCurrentPosition(2);
    s.setTrackNumbering(1);
    ASSERT_EQ(init(), 0);
    render();
    const emu::ScreenImage screen = display->screen();
    EXPECT_EQ(readText(screen, 0, 10, 30, romRow), "1. Ada Pell - Morning         ");
    // The bar's top row is the bottom row of the line above.
    EXPECT_EQ(readText(screen, 0, 11, 30, romRow, false, 7), "2. Ion Brask - Tides          ");
    EXPECT_EQ(readText(screen, 0, 12, 30, romRow, true), "3. Marla Voss - Northern Light");
    EXPECT_EQ(readText(screen, 0, 13, 30, romRow), "4. The Quiet Hours - Ember    ");
    for (int x = 0; x < 180; ++x) EXPECT_TRUE(screen.pixel(x, 12 * 8 - 1)) << "bar row above the line, x " << x;
    EXPECT_FALSE(screen.pixel(180, 12 * 8 + 3)) << "the bar ends with the window";
    expectNoProblems();
}

} // namespace
} // namespace tessaranth::test
