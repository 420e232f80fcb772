// SPDX-License-Identifier: GPL-2.0-or-later
// The display sizes that the `displayFormat` setting names.
#pragma once

#include <cstdint>

namespace tessaranth {

struct DisplaySize {
    uint16_t width;
    uint16_t height;
};

// Formats 0 to 10 are the dialog's list of sizes. Format 9, the list's "256 x 32 (N/A)", and any
// value past the list give 8 x 8, a size without a layout.
DisplaySize displaySize(uint8_t displayFormat);

// Whether the format names a size of its own.
bool knownDisplaySize(uint8_t displayFormat);

// One past the last format of the list.
constexpr uint8_t displayFormatCount = 11;

} // namespace tessaranth
