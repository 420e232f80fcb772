// SPDX-License-Identifier: GPL-2.0-or-later
// A screen image in the colours of its panel, and its PNG file.
#pragma once

#include "emu/PanelLook.h"
#include "emu/ScreenImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::emu {

class RgbImage {
public:
    RgbImage() = default;
    RgbImage(int width, int height);

    // Every dot of `screen` as a `scale` x `scale` square (1..16) in the colour of its level and
    // row on the panel; from scale 3 up the dots are parted by a one-pixel gap of the panel's
    // unlit colour, as on the glass.
    static RgbImage render(const ScreenImage& screen, const PanelLook& look, int scale);
    // Reads a PNG file (any colour type, converted to RGB); nothing when it is missing, broken
    // or larger than 8192 pixels a side.
    static std::optional<RgbImage> readPng(const std::string& path);
    // Writes an 8-bit RGB PNG file; false when it cannot be written.
    bool writePng(const std::string& path) const;

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);
    bool operator==(const RgbImage&) const = default;

    static constexpr int kMaxScale = 16;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> rgb_;
};

} // namespace tessaranth::emu
