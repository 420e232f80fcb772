// SPDX-License-Identifier: GPL-2.0-or-later
// The emulators' own character generator ROM: printable ASCII as 5x7 glyphs in a 6x8 cell.
#pragma once

#include <cstdint>

namespace tessaranth::emu {

// Row `row` (0..7, top first) of the glyph for `ascii`, as 6 pixels in bits 5..0 with bit 5
// leftmost. Codes outside 0x20..0x7F are blank.
uint8_t romGlyphRow(uint8_t ascii, int row);

} // namespace tessaranth::emu
