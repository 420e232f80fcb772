// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/Fonts.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include "CallRecorder.h"
#include "TableDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaranth {
namespace {

using Bytes = std::vector<uint8_t>;
using test::CallRecorder;

class ScrollLines : public ::testing::Test {
protected:
    void SetUp() override { start(0); }
    void TearDown() override { unloadPlugin(); }

    void start(uint8_t controller) {
        loadPlugin();
        test::useFamilyOf(*gLcd, controller);
        recorder = new CallRecorder(gLcd->isPageController());
        gController = recorder;
        gSettings->setTitleX(2);
        gSettings->setTitleY(1);
        gSettings->setArtistX(4);
        gSettings->setArtistY(3);
    }

    // Sends the title window once and returns its bytes, rotating the line by one pixel.
    Bytes step(int line = 0) {
        recorder->calls.clear();
        gLcd->scrollLineStep(line, 1);
        EXPECT_EQ(recorder->calls.size(), 1u);
        return recorder->calls.empty() ? Bytes{} : recorder->calls.back().bytes;
    }

    CallRecorder* recorder = nullptr;
};

// The cells of the line for text as they should be built: glyphs, blank, separator, blank.
std::vector<Bytes> builtRows(const std::string& text) {
    std::vector<Bytes> rows(8);
    for (int r = 0; r < 8; ++r) {
        for (char c : text) rows[r].push_back(fonts::rowGlyph(c)[r]);
        rows[r].insert(rows[r].end(), {0, fonts::separatorSymbol[0][r], fonts::separatorSymbol[1][r], 0});
    }
    return rows;
}

Bytes flatten(const std::vector<Bytes>& rows) {
    Bytes out;
    for (const Bytes& row : rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}

// An independent model of the rotation: the cells of a row read as a string of pixels, which
// turns as a ring of 6L - 1 pixels; the last pixel of the row stays dark.
Bytes rotateRow(const Bytes& cells) {
    const std::size_t ring = cells.size() * 6 - 1;
    std::vector<bool> pixels;
    for (uint8_t cell : cells)
        for (int k = 0; k < 6; ++k) pixels.push_back(cell & (0x20 >> k));
    std::vector<bool> turned(pixels.size(), false);
    for (std::size_t i = 0; i < ring; ++i) turned[i] = pixels[(i + 1) % ring];
    Bytes out(cells.size(), 0);
    for (std::size_t i = 0; i < turned.size(); ++i)
        if (turned[i]) out[i / 6] |= static_cast<uint8_t>(0x20 >> (i % 6));
    return out;
}

TEST_F(ScrollLines, TwoCharacterTextFillsSixCells) {
    gSettings->setTitleLength(6);
    gLcd->buildScrollLine(0, "Hi");
    const Bytes sent = step();
    EXPECT_EQ(sent, flatten(builtRows("Hi")));
    ASSERT_EQ(recorder->calls.size(), 1u);
    EXPECT_EQ(recorder->calls[0].args, (std::vector<int32_t>{2, 1, 8, 6}));
}

TEST_F(ScrollLines, WindowShowsTheFirstCellsOfEachRow) {
    gSettings->setTitleLength(3);
    gLcd->buildScrollLine(0, "Tessaranth");
    std::vector<Bytes> rows = builtRows("Tessaranth");
    for (Bytes& row : rows) row.resize(3);
    EXPECT_EQ(step(), flatten(rows));
}

TEST_F(ScrollLines, EveryStepTurnsEachRowOnePixelAsARing) {
    const std::string text = "A!0a";
    gSettings->setTitleLength(static_cast<uint32_t>(text.size() + 4));
    gLcd->buildScrollLine(0, text.c_str());
    std::vector<Bytes> expected = builtRows(text);
    const int ring = static_cast<int>(text.size() + 4) * 6 - 1;
    for (int i = 0; i < ring; ++i) {
        ASSERT_EQ(step(), flatten(expected)) << "after " << i << " steps";
        for (Bytes& row : expected) row = rotateRow(row);
    }
    EXPECT_EQ(step(), flatten(builtRows(text))) << "one whole turn brings the text back";
}

TEST_F(ScrollLines, LeftmostPixelWrapsToTheSecondToLastPosition) {
    // Row 0 of "!" and its trailing cells: 04 | 00 00 24 00. The glyph's pixel reaches the left
    // edge after three turns and wraps to bit 1 of the last cell on the fourth.
    gSettings->setTitleLength(5);
    gLcd->buildScrollLine(0, "!");
    for (int i = 0; i < 3; ++i) step();
    const Bytes afterThree = step();  // each step sends, then turns the line
    const Bytes afterFour = step();
    EXPECT_EQ(Bytes(afterThree.begin(), afterThree.begin() + 5), (Bytes{0x20, 0x00, 0x04, 0x20, 0x00}));
    EXPECT_EQ(Bytes(afterFour.begin(), afterFour.begin() + 5), (Bytes{0x00, 0x00, 0x09, 0x00, 0x02}));
}

TEST_F(ScrollLines, RebuildReplacesTheLineAndItsLength) {
    gSettings->setTitleLength(9);
    gLcd->buildScrollLine(0, "Longer text");
    step();
    gLcd->buildScrollLine(0, "Short");
    std::vector<Bytes> rows = builtRows("Short");
    EXPECT_EQ(step(), flatten(rows));
}

TEST_F(ScrollLines, ArtistLineUsesTheArtistField) {
    gSettings->setArtistLength(4);
    gLcd->buildScrollLine(1, "xyz");
    gLcd->buildScrollLine(0, "abc");
    std::vector<Bytes> rows = builtRows("xyz");
    for (Bytes& row : rows) row.resize(4);
    EXPECT_EQ(step(1), flatten(rows));
    EXPECT_EQ(recorder->calls[0].args, (std::vector<int32_t>{4, 3, 8, 4}));
}

TEST_F(ScrollLines, WithThresholdThreeTheBlockMovesOnEveryThirdCall) {
    gSettings->setTitleLength(4);
    gLcd->buildScrollLine(0, "Moving");
    std::vector<int> sentOn;
    for (int call = 1; call <= 9; ++call) {
        recorder->calls.clear();
        gLcd->scrollLineStep(0, 3);
        if (!recorder->calls.empty()) sentOn.push_back(call);
    }
    EXPECT_EQ(sentOn, (std::vector<int>{3, 6, 9}));
}

TEST_F(ScrollLines, TwoLinesShareThePaceAndTakeTurns) {
    gSettings->setTitleLength(4);
    gSettings->setArtistLength(4);
    gLcd->buildScrollLine(0, "Title text");
    gLcd->buildScrollLine(1, "Artist text");
    std::string moved;
    for (int frame = 0; frame < 6; ++frame) {
        for (int line = 0; line < 2; ++line) {
            recorder->calls.clear();
            gLcd->scrollLineStep(line, 3);
            moved += recorder->calls.empty() ? '.' : line == 0 ? 'T' : 'A';
        }
    }
    EXPECT_EQ(moved, "..T..A..T..A");
}

TEST_F(ScrollLines, EraseSendsABlankBlockOverTheField) {
    gSettings->setTitleLength(7);
    gLcd->eraseScrollLine(0);
    ASSERT_EQ(recorder->calls.size(), 1u);
    EXPECT_EQ(recorder->calls[0].op, "writeBlock");
    EXPECT_EQ(recorder->calls[0].args, (std::vector<int32_t>{2, 1, 8, 7}));
    EXPECT_EQ(recorder->calls[0].bytes, Bytes(56, 0));
}

TEST_F(ScrollLines, TextLongerThanTheLineIsCutAndTheGuardCellStaysBlank) {
    gSettings->setTitleLength(40);
    const std::string longText(200, 'W');
    gLcd->buildScrollLine(0, longText.c_str());
    // 123 characters and four trailing cells: the separator starts at cell 124.
    const int ring = 127 * 6 - 1;
    std::vector<Bytes> model = builtRows(std::string(123, 'W'));
    for (int i = 0; i < ring; ++i) step();
    std::vector<Bytes> window = model;
    for (Bytes& row : window) row.resize(40);
    EXPECT_EQ(step(), flatten(window)) << "the line turns as a ring of 127 cells";
}

TEST_F(ScrollLines, FieldWiderThanTheTransferBlockIsBounded) {
    gSettings->setTitleLength(60);
    gLcd->buildScrollLine(0, std::string(100, 'x').c_str());
    step();
    EXPECT_EQ(recorder->calls[0].args[3], 50u);
    gLcd->eraseScrollLine(0);
    EXPECT_EQ(recorder->calls.back().args[3], 50u);
    EXPECT_EQ(recorder->calls.back().bytes, Bytes(400, 0));
}

TEST_F(ScrollLines, NullTextBuildsAnEmptyLine) {
    gSettings->setTitleLength(4);
    gLcd->buildScrollLine(0, nullptr);
    EXPECT_EQ(step(), flatten(builtRows("")));
}

TEST_F(ScrollLines, PageControllerGetsColumnBytesThatReadAsTheGlyph) {
    unloadPlugin();
    start(3);
    gSettings->setTitleLength(1);
    gLcd->buildScrollLine(0, "A");
    // Row glyph of "A" turned on its side: blank column, round top, bar at row 4.
    EXPECT_EQ(step(), (Bytes{0x00, 0x7E, 0x11, 0x11, 0x11, 0x7E}));
    EXPECT_EQ(step(), (Bytes{0x7E, 0x11, 0x11, 0x11, 0x7E, 0x00})) << "one pixel column later";
}

TEST_F(ScrollLines, PageControllerBlocksStayWithinAnEightBitCount) {
    unloadPlugin();
    start(5);
    gSettings->setTitleLength(50);
    gLcd->buildScrollLine(0, std::string(80, 'x').c_str());
    EXPECT_EQ(step().size(), 42u * 6);
    gLcd->eraseScrollLine(0);
    EXPECT_EQ(recorder->calls.back().args[3], 42u);
    EXPECT_EQ(recorder->calls.back().bytes, Bytes(42 * 6, 0));
}

} // namespace
} // namespace tessaranth
