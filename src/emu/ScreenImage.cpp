// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ScreenImage.h"

#include <algorithm>

namespace tessaranth::emu {

ScreenImage::ScreenImage(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      levels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

int ScreenImage::level(int x, int y) const { return inside(x, y) ? levels_[indexOf(x, y)] : 0; }

void ScreenImage::setLevel(int x, int y, int level) {
    if (inside(x, y)) levels_[indexOf(x, y)] = static_cast<uint8_t>(std::clamp(level, 0, kFullLevel));
}

int ScreenImage::litCount() const {
    return static_cast<int>(levels_.size()) - static_cast<int>(std::count(levels_.begin(), levels_.end(), uint8_t{0}));
}

} // namespace tessaranth::emu
