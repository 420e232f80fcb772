// SPDX-License-Identifier: GPL-2.0-or-later
// What the glass shows: a light level per pixel, row by row from the top left. One-bit
// controllers light a pixel fully or not at all; a greyscale OLED uses the levels between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaranth::emu {

class ScreenImage {
public:
    // The level of a fully lit pixel; 0 is dark. Levels are linear in light.
    static constexpr int kFullLevel = 15;

    ScreenImage() = default;
    ScreenImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Pixels outside the image read as dark and ignore writes. A pixel is lit at any level above 0.
    bool pixel(int x, int y) const { return level(x, y) != 0; }
    void setPixel(int x, int y, bool lit) { setLevel(x, y, lit ? kFullLevel : 0); }
    int level(int x, int y) const;
    // Clamped to 0..kFullLevel.
    void setLevel(int x, int y, int level);

    int litCount() const;
    bool operator==(const ScreenImage&) const = default;

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    size_t indexOf(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> levels_;
};

} // namespace tessaranth::emu
