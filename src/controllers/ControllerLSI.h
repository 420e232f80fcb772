// SPDX-License-Identifier: GPL-2.0-or-later
// The narrow interface through which every drawing part reaches the display. Positions are in
// the display's own units: text cells and lines, and for runs the family's row (a pixel row of
// 6-pixel cells on the text-layer controllers, a page of 8-row column bytes on the page
// controllers). Command codes, address packing and character offsets stay inside each driver.
#pragma once

#include "controllers/DriverOptions.h"

#include <cstdint>
#include <cstring>

namespace tessaranth {

class DisplayLayout;

class ControllerLSI {
public:
    virtual ~ControllerLSI() = default;

    // Set-up, before open(): the layout the driver addresses (it outlives the driver).
    void attach(const DisplayLayout& layout) { layout_ = &layout; }
    // The options, at set-up and again at every frame (the dialog's changes count from the next).
    void setOptions(const DriverOptions& options) { options_ = options; }

    // The device behind the transport; false when it cannot be used (the plug-in then shuts down).
    virtual bool open() { return true; }
    virtual void init() = 0;
    // Last words to the display when the plug-in stops, then the device is let go.
    virtual void close() {}

    virtual void clearGraphics() = 0;
    virtual void defineGlyph(uint8_t, const uint8_t*) {}
    // Characters at a text cell, up to the NUL.
    virtual void writeText(int16_t column, int16_t line, const char* text) = 0;
    // Cells of the block modes: codes 128 and up are the user glyphs, others characters.
    virtual void writeCells(int16_t column, int16_t line, const char* codes) { writeText(column, line, codes); }
    // `count` cells made blank.
    virtual void blankText(int16_t column, int16_t line, int16_t count) = 0;
    // The cells of the text layer only: a display without one has nothing to clear.
    virtual void clearTextCells(int16_t, int16_t, int16_t) {}
    // A playlist line of spaces: blank cells on a text layer, the spaces drawn where text is pixels.
    virtual void clearLine(int16_t column, int16_t line, const char* spaces) {
        blankText(column, line, static_cast<int16_t>(std::strlen(spaces)));
    }
    // A run of graphic bytes from `column` (cells) in the family's row `row`.
    virtual void writeRow(int column, int row, const uint8_t* bytes, int32_t count) = 0;
    // `rows` rows of `width` cells at a text cell: row bytes on a text layer, six column bytes a
    // cell on a page controller.
    virtual void writeBlock(const uint8_t* bytes, uint16_t column, uint16_t line, uint16_t rows, uint16_t width) = 0;
    virtual void writeScreen(const uint8_t* image) = 0;
    // The bar behind the current playlist line, lit or dark.
    virtual void highlightLine(int16_t, int16_t, int16_t, bool) {}
    virtual void setBrightness(uint8_t) {}
    // The frame is drawn: a driver that collects the frame's changes sends them now.
    virtual void endFrame() {}

protected:
    const DisplayLayout& layout() const { return *layout_; }
    const DriverOptions& options() const { return options_; }
    uint8_t invertMask() const { return options_.inverse ? 0xFF : 0x00; }

private:
    const DisplayLayout* layout_ = nullptr;
    DriverOptions options_;
};

} // namespace tessaranth
