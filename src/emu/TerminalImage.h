// A screen image as text for a terminal: each character shows two pixel rows with the Unicode
// half blocks, lit dots drawn, unlit ones blank.
#pragma once

#include "emu/ScreenImage.h"

#include <string>

namespace tessaranth::emu {

// One line per pair of pixel rows, each ending in a newline; an odd last row pairs with dark.
std::string terminalImage(const ScreenImage& screen);

} // namespace tessaranth::emu
