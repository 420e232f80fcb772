// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/Fonts.h"
#include "controllers/PageText.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tessaranth {
namespace {

using Rows = std::vector<uint8_t>;

Rows rowsOf(char c) {
    const uint8_t* glyph = fonts::rowGlyph(c);
    return Rows(glyph, glyph + fonts::rowGlyphRows);
}

Rows columnsOf(char c) {
    const uint8_t* glyph = fonts::columnGlyph(c);
    return Rows(glyph, glyph + fonts::columnGlyphColumns);
}

Rows pageColumns(const char* text) {
    Rows bytes;
    forEachTextColumn(text, [&](uint8_t b) {
        bytes.push_back(b);
        return true;
    });
    return bytes;
}

TEST(RowFont, KnownGlyphsHaveTheirExactRows) {
    EXPECT_EQ(rowsOf(' '), (Rows{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rowsOf('!'), (Rows{0x04, 0x04, 0x04, 0x04, 0x00, 0x00, 0x04, 0x00}));
    EXPECT_EQ(rowsOf('0'), (Rows{0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E, 0x00}));
    EXPECT_EQ(rowsOf('A'), (Rows{0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x00}));
    EXPECT_EQ(rowsOf('a'), (Rows{0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F, 0x00}));
    EXPECT_EQ(rowsOf(char(127)), (Rows{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(RowFont, EveryGlyphKeepsTheLeftColumnAndBottomRowBlank) {
    for (int g = 0; g < fonts::glyphCount; ++g) {
        for (int r = 0; r < fonts::rowGlyphRows; ++r)
            EXPECT_EQ(fonts::rowFont[g][r] & ~0x1F, 0) << "glyph " << g + 32 << " row " << r;
        EXPECT_EQ(fonts::rowFont[g][7], 0) << "glyph " << g + 32;
    }
}

TEST(ColumnFont, KnownGlyphsHaveTheirExactColumns) {
    EXPECT_EQ(columnsOf(' '), (Rows{0, 0, 0, 0, 0}));
    EXPECT_EQ(columnsOf('!'), (Rows{0x00, 0x00, 0x4F, 0x00, 0x00}));
    EXPECT_EQ(columnsOf('0'), (Rows{0x3E, 0x51, 0x49, 0x45, 0x3E}));
    EXPECT_EQ(columnsOf('A'), (Rows{0x7C, 0x12, 0x11, 0x12, 0x7C}));
    EXPECT_EQ(columnsOf('a'), (Rows{0x20, 0x54, 0x54, 0x54, 0x78}));
    EXPECT_EQ(columnsOf('~'), (Rows{0x01, 0x01, 0x01, 0x01, 0x01}));
    EXPECT_EQ(columnsOf(char(127)), (Rows{0x7F, 0x7F, 0x7F, 0x7F, 0x7F}));
}

TEST(ColumnFont, NoGlyphUsesTheEighthRow) {
    for (int g = 0; g < fonts::glyphCount; ++g)
        for (int k = 0; k < fonts::columnGlyphColumns; ++k)
            EXPECT_EQ(fonts::columnFont[g][k] & 0x80, 0) << "glyph " << g + 32 << " column " << k;
}

// A glyph left blank or pasted twice would show as a gap or the wrong letter.
TEST(Fonts, EveryPrintableCharacterHasItsOwnVisibleGlyph) {
    std::set<Rows> rowShapes;
    std::set<Rows> columnShapes;
    for (int code = 33; code <= 126; ++code) {
        const Rows rows = rowsOf(static_cast<char>(code));
        const Rows columns = columnsOf(static_cast<char>(code));
        EXPECT_NE(rows, Rows(8, 0)) << "row glyph " << code;
        EXPECT_NE(columns, Rows(5, 0)) << "column glyph " << code;
        EXPECT_TRUE(rowShapes.insert(rows).second) << "row glyph " << code << " repeats another";
        EXPECT_TRUE(columnShapes.insert(columns).second) << "column glyph " << code << " repeats another";
    }
}

TEST(Fonts, CharactersOutsideTheTablesShowAsQuestionMark) {
    for (char c : {'\t', '\x01', '\x80', '\xE9', '\xFF'}) {
        EXPECT_EQ(rowsOf(c), rowsOf('?')) << int(static_cast<unsigned char>(c));
        EXPECT_EQ(columnsOf(c), columnsOf('?')) << int(static_cast<unsigned char>(c));
    }
}

TEST(PageText, EachCharacterIsABlankColumnThenItsFiveFontColumns) {
    EXPECT_EQ(pageColumns("A!"), (Rows{0x00, 0x7C, 0x12, 0x11, 0x12, 0x7C, 0x00, 0x00, 0x00, 0x4F, 0x00, 0x00}));
    EXPECT_EQ(pageColumns(" "), Rows(6, 0x00));
}

TEST(PageText, ControlCharactersAreSkippedWithoutTakingAPlace) {
    EXPECT_EQ(pageColumns("\x01" "0\n\t"), pageColumns("0"));
    EXPECT_TRUE(pageColumns("\r\n").empty());
    EXPECT_TRUE(pageColumns("").empty());
    EXPECT_TRUE(pageColumns(nullptr).empty());
}

TEST(PageText, CharactersAboveTheTableTakeTheirPlaceAsQuestionMark) {
    EXPECT_EQ(pageColumns("\xE9"), pageColumns("?"));
    EXPECT_EQ(pageColumns("a\xFF" "b").size(), 18u);
}

} // namespace
} // namespace tessaranth
