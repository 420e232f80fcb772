// SPDX-License-Identifier: GPL-2.0-or-later
// A screen image as text for a terminal: lit dots drawn, unlit ones blank.
#pragma once

#include "emu/ScreenImage.h"

#include <string>

namespace tessaranth::emu {

// One line per pair of pixel rows, each ending in a newline; an odd last row pairs with dark.
std::string terminalImage(const ScreenImage& screen);

// Half as wide for narrower terminals: Braille patterns of two columns and four rows of dots per
// character, one line per four pixel rows; rows and a column past the edge count as dark.
std::string brailleImage(const ScreenImage& screen);

} // namespace tessaranth::emu
