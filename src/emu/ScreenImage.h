// What the glass shows: one bit per pixel, row by row from the top left.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaranth::emu {

class ScreenImage {
public:
    ScreenImage() = default;
    ScreenImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Pixels outside the image read as dark and ignore writes.
    bool pixel(int x, int y) const;
    void setPixel(int x, int y, bool lit);

    int litCount() const;
    bool operator==(const ScreenImage&) const = default;

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

} // namespace tessaranth::emu
