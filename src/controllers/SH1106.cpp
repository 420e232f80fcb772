// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/SH1106.h"

namespace tessaranth {

namespace {

constexpr uint8_t setPage = 0xB0;
constexpr uint8_t columnLow = 0x00;
constexpr uint8_t columnHigh = 0x10;
constexpr int windowBytes = 3;

} // namespace

void SH1106::sendSetup() {
    const uint8_t setup[] = {0xAE,        // display off
                             0xD5, 0x80,  // clock
                             0xA8, 0x3F,  // multiplex ratio 64
                             0xD3, 0x00,  // no display offset
                             0x40,        // start line 0
                             0xAD, 0x8B,  // DC-DC on
                             0xA1, 0xC8,  // column 0 at the left, page 0 on top, as the modules are mounted
                             0xDA, 0x12,  // COM pins
                             0x81, 0x80,  // contrast
                             0xD9, 0x22,  // pre-charge
                             0xDB, 0x35,  // VCOM deselect level
                             0xA4, 0xA6, 0xAF};
    bus().command(setup);
}

void SH1106::sendChanges(bool all) {
    sendPages(all, windowBytes, [&](int page, int first, int) {
        const int column = first + columnOffset_;
        const uint8_t window[windowBytes] = {static_cast<uint8_t>(setPage | page),
                                             static_cast<uint8_t>(columnLow | (column & 0x0F)),
                                             static_cast<uint8_t>(columnHigh | (column >> 4))};
        bus().command(window);
    });
}

} // namespace tessaranth
