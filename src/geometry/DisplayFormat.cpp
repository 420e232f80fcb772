#include "geometry/DisplayFormat.h"

#include <iterator>

namespace tessaranth {

DisplaySize displaySize(uint8_t displayFormat) {
    static constexpr DisplaySize sizes[] = {{128, 64},  {128, 128}, {240, 64}, {240, 128}, {256, 128},
                                            {320, 200}, {320, 240}, {192, 64}, {128, 32}, {256, 64}};
    static_assert(std::size(sizes) == displayFormatCount);
    return displayFormat < displayFormatCount ? sizes[displayFormat] : DisplaySize{8, 8};
}

} // namespace tessaranth
