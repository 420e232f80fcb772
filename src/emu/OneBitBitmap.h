// SPDX-License-Identifier: GPL-2.0-or-later
// One-bit Windows bitmaps, the pictures the plug-in reads as its background: a 62-byte header
// (file header, 40-byte information header, a palette of black and white), then the rows
// bottom-up, each padded to four bytes, a lit pixel stored as a 0 bit (black, the first entry).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tessaranth::emu {

using PixelFunction = std::function<bool(int x, int y)>;

// The bytes of a width x height bitmap whose pixel (x, y), y down from the top, is lit(x, y).
std::vector<uint8_t> oneBitBitmap(int width, int height, const PixelFunction& lit);

} // namespace tessaranth::emu
