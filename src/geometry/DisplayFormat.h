// The display sizes that the `displayFormat` setting names.
#pragma once

#include <cstdint>

namespace tessaranth {

struct DisplaySize {
    uint16_t width;
    uint16_t height;
};

// Formats 0 to 9 name the supported sizes; any other value gives 8 x 8, a size without a layout.
DisplaySize displaySize(uint8_t displayFormat);

// One past the last format with a size of its own.
constexpr uint8_t displayFormatCount = 10;

} // namespace tessaranth
