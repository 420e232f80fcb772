// SPDX-License-Identifier: GPL-2.0-or-later
// What the three information screens share: player questions and text at a packed position.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth::screens {

// Message WM_USER with wParam and the query number to the module's player window (none when
// the module is null), answered in 32 bits as a 32-bit player answers.
int32_t askPlayer(const VisModule* module, uintptr_t wParam, intptr_t query);
// Same, keeping the full width of the answer (an address).
intptr_t askPlayerWide(const VisModule* module, uintptr_t wParam, intptr_t query);

// A packed position: the text column in the high byte, the text line in the low byte.
inline int16_t column(uint16_t position) { return static_cast<int16_t>(position >> 8); }
inline int16_t line(uint16_t position) { return static_cast<int16_t>(position & 0xFF); }

// Text at the packed position.
void writeTextAt(uint16_t position, const char* text);

} // namespace tessaranth::screens
