// SPDX-License-Identifier: GPL-2.0-or-later
// Pictures and bus traffic for the emulator tests of today's displays: pictures with no
// symmetry, so that a flip, a shift or a swapped half shows, and the bytes a driver sends.
#pragma once

#include "emu/ControlByteChip.h"
#include "emu/ScreenImage.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tessaranth::test {

// The level (0 .. kFullLevel) of pixel (x, y).
using Picture = std::function<int(int x, int y)>;

// One bit a pixel, lit in a pattern that is the same under no flip, turn or shift.
int lopsided(int x, int y);
// All sixteen levels, in a pattern with no symmetry either.
int lopsidedGrey(int x, int y);

// The column bytes of one page (8 rows, bit 0 on top) of a one-bit picture.
std::vector<uint8_t> pageBytes(const Picture& picture, int page, int width);

// One I2C message to the chip's address: control byte 0x00 and commands, or 0x40 and data.
void sendCommands(emu::ControlByteChip& chip, std::vector<uint8_t> commands);
void sendData(emu::ControlByteChip& chip, std::vector<uint8_t> data);

// The pixels where `image` shows another level than `picture`; the image's size counts.
int pixelsDiffering(const emu::ScreenImage& image, const Picture& picture);

} // namespace tessaranth::test
