// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/RgbImage.h"

#include <png.h>

#include <algorithm>
#include <array>

namespace tessaranth::emu {

namespace {

// Images larger than this are refused on reading, so a broken file cannot ask for gigabytes.
constexpr png_uint_32 kMaxSide = 8192;

size_t offsetOf(int width, int x, int y) { return (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3; }

} // namespace

RgbImage::RgbImage(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      rgb_(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3, 0) {}

Rgb RgbImage::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {0, 0, 0};
    const size_t at = offsetOf(width_, x, y);
    return {rgb_[at], rgb_[at + 1], rgb_[at + 2]};
}

void RgbImage::setPixel(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const size_t at = offsetOf(width_, x, y);
    rgb_[at] = colour.red;
    rgb_[at + 1] = colour.green;
    rgb_[at + 2] = colour.blue;
}

RgbImage RgbImage::render(const ScreenImage& screen, const PanelLook& look, int scale) {
    scale = std::clamp(scale, 1, kMaxScale);
    const int dot = scale >= 3 ? scale - 1 : scale;
    RgbImage image(screen.width() * scale, screen.height() * scale);
    const Rgb unlit = look.unlitColour();
    std::array<Rgb, ScreenImage::kFullLevel + 1> colours{};
    for (int y = 0; y < image.height_; ++y) {
        if (y % scale == 0)
            for (int level = 0; level <= ScreenImage::kFullLevel; ++level) colours[static_cast<size_t>(level)] = look.colourOf(level, y / scale);
        for (int x = 0; x < image.width_; ++x) {
            const bool inDot = x % scale < dot && y % scale < dot;
            image.setPixel(x, y, inDot ? colours[static_cast<size_t>(screen.level(x / scale, y / scale))] : unlit);
        }
    }
    return image;
}

bool RgbImage::writePng(const std::string& path) const {
    if (width_ == 0 || height_ == 0) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb_.data(), 0, nullptr) != 0;
}

std::optional<RgbImage> RgbImage::readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGB;
    RgbImage result(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, result.rgb_.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return result;
}

} // namespace tessaranth::emu
