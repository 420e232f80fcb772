// SPDX-License-Identifier: GPL-2.0-or-later
// What the page controllers (KS0108B, Noritake) share: no character layer, so text is drawn as
// column bytes from the 5x7 font, six to a cell, at a cell column and a page.
#pragma once

#include "controllers/ControllerLSI.h"

namespace tessaranth {

class PageController : public ControllerLSI {
public:
    // A zero block of `count` cells, cut at the 40 cells the block holds.
    void blankText(int16_t column, int16_t line, int16_t count) override;
    void clearLine(int16_t column, int16_t line, const char* spaces) override { writeText(column, line, spaces); }
    void writeText(int16_t column, int16_t line, const char* text) override;
    void writeRow(int column, int row, const uint8_t* bytes, int32_t count) override;

    static constexpr int blankBlockBytes = 240;
    static constexpr int maxBlankCells = blankBlockBytes / 6;

protected:
    // Column bytes of the text at the place set last.
    virtual void sendText(const char* text) = 0;
    virtual void sendRun(const uint8_t* bytes, int32_t count) = 0;
    // The cell column and page that text and runs start at: the two are packed in 16 bits, the
    // column above the page, so a page past 255 carries into the column.
    void place(int column, int page);
    uint16_t column_ = 0;
    uint16_t page_ = 0;
};

} // namespace tessaranth
