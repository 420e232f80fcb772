// SPDX-License-Identifier: GPL-2.0-or-later
// Files for the background tests: one-bit bitmaps (emu::oneBitBitmap) written where the test
// program keeps its own files.
#pragma once

#include "emu/OneBitBitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

// Writes the bytes to a file of this process (in a temporary folder removed when the process
// ends) and returns its path.
std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace tessaranth::test
