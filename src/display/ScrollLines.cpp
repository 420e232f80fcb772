// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerLSI.h"
#include "controllers/Fonts.h"
#include "controllers/PageText.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstring>

namespace tessaranth {

namespace {

constexpr int lineRows = fonts::rowGlyphRows;
// After the text: a blank cell, the two separator cells, a blank cell, then the guard cell.
constexpr int trailingCells = 4;
constexpr int maxScrollText = LCD::scrollLineBytes - trailingCells - 1;
constexpr uint8_t leftPixel = 0x20;
constexpr uint8_t cellPixels = 0x3F;
// The widest window a block can carry: the transfer block holds 8 rows of row bytes; a page
// driver counts the six column bytes of each cell in eight bits.
constexpr int maxRowWindow = LCD::transferBlockBytes / lineRows;
constexpr int maxPageWindow = 255 / pageColumnsPerCell;

int boundedLength(const char* text, int limit) {
    if (!text) return 0;
    return static_cast<int>(std::find(text, text + limit, '\0') - text);
}

struct ScrollField {
    uint16_t x;
    uint16_t y;
    int width;  // cells sent: the field length, bounded to what one block carries
};

ScrollField scrollField(int line) {
    const uint16_t position = line == 0 ? gSettings->titleXY() : gSettings->artistXY();
    const int length = line == 0 ? gSettings->titleLength() : gSettings->artistLength();
    const int limit = gLcd->isPageController() ? maxPageWindow : maxRowWindow;
    return {static_cast<uint16_t>(position >> 8), static_cast<uint16_t>(position & 0xFF), std::min(length, limit)};
}

// Pixel column k (0 leftmost) of one cell, gathered from its eight row bytes: bit r is row r.
uint8_t cellColumn(const uint8_t (&rows)[lineRows][LCD::scrollLineBytes], int cell, int k) {
    uint8_t column = 0;
    for (int r = 0; r < lineRows; ++r)
        if (rows[r][cell] & (leftPixel >> k)) column |= static_cast<uint8_t>(1 << r);
    return column;
}

} // namespace

void LCD::buildScrollLine(int line, const char* text) {
    const int n = boundedLength(text, maxScrollText);
    scrollLength_[line] = static_cast<uint8_t>(n + trailingCells);
    for (int r = 0; r < lineRows; ++r) {
        uint8_t* cells = scrollLines_[line][r];
        for (int i = 0; i < n; ++i) cells[i] = fonts::rowGlyph(text[i])[r];
        cells[n] = 0;
        cells[n + 1] = fonts::separatorSymbol[0][r];
        cells[n + 2] = fonts::separatorSymbol[1][r];
        cells[n + 3] = 0;
        cells[n + 4] = 0;
    }
}

void LCD::eraseScrollLine(int line) {
    const ScrollField field = scrollField(line);
    std::memset(transferBlock_, 0, static_cast<std::size_t>(lineRows * field.width));
    transferPointer_ = transferBlock_;
    gController->writeBlock(transferPointer_, field.x, field.y, lineRows, static_cast<uint16_t>(field.width));
}

void LCD::scrollLineStep(int line, int32_t threshold) {
    for (int32_t& tick : scrollTick_) ++tick;
    if (scrollTick_[0] < threshold && scrollTick_[1] < threshold) return;
    sendScrollWindow(line);
    rotateScrollLine(line);
    for (int32_t& tick : scrollTick_)
        if (tick >= threshold) tick = 0;
}

// Text-layer controllers take the window as row bytes, row after row; page controllers take
// column bytes, so the rows are turned into columns and the title reads as it does elsewhere.
void LCD::sendScrollWindow(int line) {
    const ScrollField field = scrollField(line);
    const auto& rows = scrollLines_[line];
    uint8_t* out = transferBlock_;
    if (isPageController()) {
        for (int c = 0; c < field.width; ++c)
            for (int k = 0; k < pageColumnsPerCell; ++k) *out++ = cellColumn(rows, c, k);
    } else {
        for (int r = 0; r < lineRows; ++r) out = std::copy_n(rows[r], field.width, out);
    }
    transferPointer_ = transferBlock_;
    gController->writeBlock(transferPointer_, field.x, field.y, lineRows, static_cast<uint16_t>(field.width));
}

// One pixel to the left. The line is a ring: the leftmost pixel re-enters at the end, in front
// of the guard cell, which stays blank and so keeps the last pixel of the ring dark.
void LCD::rotateScrollLine(int line) {
    const int length = scrollLength_[line];
    if (length == 0) return;
    for (auto& cells : scrollLines_[line]) {
        if (cells[0] & leftPixel) cells[length - 1] |= 1;
        for (int c = 0; c < length; ++c)
            cells[c] = static_cast<uint8_t>(((cells[c] << 1) & cellPixels) | ((cells[c + 1] & leftPixel) ? 1 : 0));
    }
}

} // namespace tessaranth
