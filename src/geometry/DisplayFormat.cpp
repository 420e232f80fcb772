// SPDX-License-Identifier: GPL-2.0-or-later
#include "geometry/DisplayFormat.h"

#include <iterator>

namespace tessaranth {

namespace {
constexpr DisplaySize noSize{8, 8};
}

DisplaySize displaySize(uint8_t displayFormat) {
    // 256 x 64 came after the list's last entry, so every stored format keeps its meaning.
    static constexpr DisplaySize sizes[] = {{128, 64},  {128, 128}, {240, 64}, {240, 128}, {256, 128}, {320, 200},
                                            {320, 240}, {192, 64},  {128, 32}, noSize,     {256, 64}};
    static_assert(std::size(sizes) == displayFormatCount);
    return displayFormat < displayFormatCount ? sizes[displayFormat] : noSize;
}

bool knownDisplaySize(uint8_t displayFormat) { return displaySize(displayFormat).width != noSize.width; }

} // namespace tessaranth
