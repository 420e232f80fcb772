// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/SSD130x.h"

namespace tessaranth {

namespace {

constexpr uint8_t displayOff = 0xAE;
constexpr uint8_t displayOn = 0xAF;
constexpr uint8_t columnWindow = 0x21;
constexpr uint8_t pageWindow = 0x22;
constexpr int windowBytes = 6;

} // namespace

void SSD130x::sendSetup() {
    const auto rows = static_cast<uint8_t>(height());
    const uint8_t head[] = {displayOff,
                            0xD5, 0x80,  // clock
                            0xA8, static_cast<uint8_t>(rows - 1),  // multiplex ratio
                            0xD3, 0x00,  // no display offset
                            0x40,        // start line 0
                            0x20, 0x00,  // horizontal addressing
                            0xA1, 0xC8,  // column 0 at the left, page 0 on top, as the modules are mounted
                            0xDA, static_cast<uint8_t>(rows == 64 ? 0x12 : 0x02),  // COM pins
                            0x81, 0xCF,  // contrast
                            0xD9, 0xF1,  // pre-charge
                            0xDB, 0x40,  // VCOMH
                            0xA4, 0xA6};
    bus().command(head);
    if (chip_ == Chip::ssd1306) {
        const uint8_t chargePump[] = {0x8D, 0x14};
        bus().command(chargePump);
    }
    const uint8_t on[] = {displayOn};
    bus().command(on);
}

void SSD130x::sendChanges(bool all) {
    sendPages(all, windowBytes, [&](int page, int first, int end) {
        const uint8_t window[windowBytes] = {columnWindow, static_cast<uint8_t>(first), static_cast<uint8_t>(end - 1),
                                             pageWindow,   static_cast<uint8_t>(page),  static_cast<uint8_t>(page)};
        bus().command(window);
    });
}

} // namespace tessaranth
