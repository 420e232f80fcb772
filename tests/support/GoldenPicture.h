// SPDX-License-Identifier: GPL-2.0-or-later
// The golden PNG files that guard what a display shows. They live in tests/golden/. A missing
// or differing picture fails the test and leaves the picture it got in the test's temporary
// folder as <name>.actual.png. To write them anew on purpose:
//     make golden
// (TESSARANTH_UPDATE_GOLDEN=1 and the golden tests), then look at every changed picture before
// committing it.
#pragma once

#include "emu/VirtualDisplay.h"

#include <string>

namespace tessaranth::test {

// Compares what the display shows with tests/golden/<name>.png (or writes it, see above).
void expectGoldenPicture(const emu::VirtualDisplay& display, const std::string& name);
// The same for what one emulated chip shows.
void expectGoldenPicture(const emu::Emulator& chip, const std::string& name);

} // namespace tessaranth::test
