// SPDX-License-Identifier: GPL-2.0-or-later
// The two built-in fonts and the separator symbol that follows a scrolling text.
//
// Row font (6x8): one byte per pixel row from the top, the cell in bits 5..0 with bit 5 the
// leftmost pixel. Glyphs use bits 4..0 and rows 0..6, so the left column and the bottom row
// stay blank and part the characters and lines.
//
// Column font (5x7): one byte per pixel column from the left, bit 0 the top pixel; bits 0..6
// are used, bit 7 stays blank.
#pragma once

#include <cstdint>

namespace tessaranth::fonts {

constexpr int firstCode = 32;
constexpr int glyphCount = 96;
constexpr int rowGlyphRows = 8;
constexpr int columnGlyphColumns = 5;
constexpr char unknownCharacter = '?';

extern const uint8_t rowFont[glyphCount][rowGlyphRows];
extern const uint8_t columnFont[glyphCount][columnGlyphColumns];
// Two cells of the row format: [0] the left cell, [1] the right cell.
extern const uint8_t separatorSymbol[2][rowGlyphRows];

// The glyph of a character; characters outside 32..127 show as a question mark.
const uint8_t* rowGlyph(char c);
const uint8_t* columnGlyph(char c);

} // namespace tessaranth::fonts
