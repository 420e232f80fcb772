// SPDX-License-Identifier: GPL-2.0-or-later
// The background image in row bytes of 8 pixels (bit 7 leftmost, `rowBytes` per pixel row)
// read as the page controllers store it: column bytes of 8 rows, bit 0 at the top.
#pragma once

#include <cstdint>

namespace tessaranth {

constexpr int pageCount = 8;

// The column byte of pixel column `column` in page `page` (rows 8 x page .. 8 x page + 7).
inline uint8_t pageColumnByte(const uint8_t* image, int rowBytes, int page, int column) {
    const int byteColumn = column / 8;
    const int bit = 7 - column % 8;
    uint8_t result = 0;
    for (int n = 0; n < 8; ++n)
        if ((image[(8 * page + n) * rowBytes + byteColumn] >> bit) & 1) result = static_cast<uint8_t>(result | (1u << n));
    return result;
}

} // namespace tessaranth
