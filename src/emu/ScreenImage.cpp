#include "emu/ScreenImage.h"

#include <algorithm>

namespace tessaranth::emu {

ScreenImage::ScreenImage(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

bool ScreenImage::pixel(int x, int y) const {
    return inside(x, y) && pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] != 0;
}

void ScreenImage::setPixel(int x, int y, bool lit) {
    if (inside(x, y)) pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = lit ? 1 : 0;
}

int ScreenImage::litCount() const { return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), uint8_t{1})); }

} // namespace tessaranth::emu
