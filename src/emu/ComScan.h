// SPDX-License-Identifier: GPL-2.0-or-later
// How an OLED controller lights its panel's rows from the rows of its display memory: the
// start line, the vertical offset, the multiplex ratio, the scan direction and the COM pin
// configuration, as the SSD1306 family, the SH1106 and the SSD1322 share them.
//
// Line L of a scan (0 .. lines-1) shows memory row (L + startLine + offset) mod memoryRows and
// is driven on COM L, or on COM lines-1-L with the scan reversed. The panel is wired to COM 0
// .. panelRows-1 for one pin configuration, in which those COM lines light its rows in order.
#pragma once

#include "emu/ScreenImage.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tessaranth::emu {

struct ComPins {
    bool alternative = true;     // SSD1306's 0xDA bit 4; the SSD1322's COM split
    bool leftRightSwap = false;  // SSD1306's 0xDA bit 5
    bool operator==(const ComPins&) const = default;
};

class ComScan {
public:
    // Assumed: the common modules are mounted with COM 0 at the bottom edge of the glass, so
    // that a reversed scan shows memory row 0 on top. Every driver of these modules reverses it
    // (0xC8 on the SSD1306 and SH1106, 0xA0 bit 4 on the SSD1322).
    static constexpr bool kComZeroAtBottom = true;

    ComScan(int memoryRows, int panelRows, ComPins panelWiring);

    // Registers, as the commands set them; lines is the multiplex ratio (n + 1), kept within
    // 16 .. memoryRows.
    void setStartLine(int line) { startLine_ = line % memoryRows_; }
    void setOffset(int rows) { offset_ = rows % memoryRows_; }
    void setLines(int lines);
    void setReversed(bool reversed) { reversed_ = reversed; }
    void setPins(ComPins pins) { pins_ = pins; }

    // The glass, `width` pixels wide: each lit row shows levelOf(x, its memory row); the rows
    // no COM line lights stay dark.
    ScreenImage picture(int width, const std::function<int(int x, int memoryRow)>& levelOf) const;

private:
    // The memory row each glass row shows, top first; -1 where no COM line lights the row.
    std::vector<int> memoryRowOfGlassRows() const;
    // The panel row, counted from COM 0's edge, that COM `com` lights; -1 if it is not wired.
    // A configuration other than the panel's interleaves the rows (assumed: the pins of the
    // other configuration land in order on every other row, a swap exchanges the halves).
    int panelRowOfCom(int com) const;

    int memoryRows_;
    int panelRows_;
    ComPins wiring_;
    int startLine_ = 0;
    int offset_ = 0;
    int lines_;
    bool reversed_ = false;
    ComPins pins_;
};

// All pixels on and inverse display, the switches of a one-bit OLED over its memory.
struct OneBitSwitches {
    bool allOn = false;
    bool inverse = false;
    // The level the glass shows for a stored bit.
    int level(bool stored) const { return allOn || stored != inverse ? ScreenImage::kFullLevel : 0; }
};

} // namespace tessaranth::emu
