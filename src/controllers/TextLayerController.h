// SPDX-License-Identifier: GPL-2.0-or-later
// What the text-layer controllers (T6963C, SED133x and the USB adapter) share: text cells and
// graphic rows addressed in display memory through the layout, each driver sending its own
// commands for the address, the characters, blank cells and runs of graphic bytes.
#pragma once

#include "controllers/ControllerLSI.h"

namespace tessaranth {

class TextLayerController : public ControllerLSI {
public:
    void writeText(int16_t column, int16_t line, const char* text) override;
    void writeCells(int16_t column, int16_t line, const char* codes) override;
    void blankText(int16_t column, int16_t line, int16_t count) override;
    void clearTextCells(int16_t column, int16_t line, int16_t count) override { blankText(column, line, count); }
    void writeRow(int column, int row, const uint8_t* bytes, int32_t count) override;
    // Nine graphic rows under the line's text, from the row above it.
    void highlightLine(int16_t column, int16_t line, int16_t width, bool lit) override;

protected:
    virtual void setAddress(uint16_t address) = 0;
    // Characters at the address pointer, up to the NUL.
    virtual void sendCharacters(const char* text) = 0;
    virtual void sendCells(const char* codes) { sendCharacters(codes); }
    // `count` zero codes (the blank cell) from the address pointer on.
    virtual void sendBlankCells(int16_t count) = 0;
    virtual void sendRun(const uint8_t* bytes, int32_t count) = 0;

private:
    uint16_t textCell(int16_t column, int16_t line) const;
};

} // namespace tessaranth
