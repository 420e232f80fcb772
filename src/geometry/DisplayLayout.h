// SPDX-License-Identifier: GPL-2.0-or-later
// The display as plain data: the family of the controller it was started with, its size, and where the text
// and graphic layers lie in display memory. The drivers read it to address the display; the
// LCD object that draws on it is one (display/LCD.h). Fixed from start-up to shutdown.
#pragma once

#include <cstdint>

namespace tessaranth {

enum class ControllerFamily : uint8_t {
    none,       // no display driver
    textLayer,  // a text layer with a character generator over graphic rows of 6-pixel cells
    pages,      // pages of 8-row column bytes; text drawn as pixels
};

class DisplayLayout {
public:
    // The background image that writeScreen is given: a little more than the largest layout's
    // 56 x 240 = 13440 bytes.
    static constexpr int backgroundBytes = 13443;

    // After setFamily: the size and the memory layout that goes with it.
    void setSize(uint16_t width, uint16_t height);
    // The family of the controller the display was started with, and whether its text rows
    // share the graphic rows' address pitch (the controller table says both).
    void setFamily(ControllerFamily family, bool sharedPitch) {
        family_ = family;
        sharedPitch_ = sharedPitch;
    }
    ControllerFamily family() const { return family_; }
    // Column bytes in 8-row pages, text drawn as pixels: the drawing parts build their pixels so.
    bool isPageController() const { return family_ == ControllerFamily::pages; }
    uint32_t graphicHome() const { return graphicHome_; }
    int32_t graphicRowBytes() const { return graphicRowBytes_; }
    uint32_t textHome() const { return textHome_; }
    int32_t textRowBytes() const { return textRowBytes_; }
    int16_t textColumns() const { return textColumns_; }
    // Cells of a text row that the drawing parts write.
    int16_t textCells() const { return textCells_; }
    // The graphic rows of the table fell short of the width on a controller whose layers share
    // one pitch, and were widened to end at the display's right edge.
    bool rowsWidened() const { return rowsWidened_; }
    uint16_t width() const { return width_; }
    uint16_t height() const { return height_; }
    // Distance in display memory between two text rows: the graphic row bytes where both layers
    // share one address pitch, else the text area of its own.
    int32_t textPitch() const { return sharedPitch_ ? graphicRowBytes_ : textRowBytes_; }
    // Display-memory address of a text cell on a text-layer controller (16 bits).
    uint16_t textCellAddress(int16_t column, int16_t row) const;

private:
    ControllerFamily family_ = ControllerFamily::none;
    bool sharedPitch_ = false;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    int16_t textColumns_ = 0;
    int16_t textCells_ = 0;
    bool rowsWidened_ = false;
    uint32_t graphicHome_ = 0;
    int32_t graphicRowBytes_ = 0;
    uint32_t textHome_ = 0;
    int32_t textRowBytes_ = 0;
};

} // namespace tessaranth
