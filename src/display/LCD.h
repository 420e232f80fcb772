// SPDX-License-Identifier: GPL-2.0-or-later
// Drawing on the display that the layout describes: the two scroll lines and the background
// image. Not a frame buffer.
#pragma once

#include "geometry/DisplayLayout.h"

#include <cstdint>

namespace tessaranth {

class LCD : public DisplayLayout {
public:
    static constexpr int scrollLineBytes = 128;
    static constexpr int transferBlockBytes = 400;

    LCD();

    const uint8_t* backgroundPointer() const { return backgroundPointer_; }

    // Scroll lines: line 0 is the title, line 1 the artist.
    void buildScrollLine(int line, const char* text);
    void eraseScrollLine(int line);
    void scrollLineStep(int line, int32_t threshold);

    void loadBackground(const char* path);

private:
    // Scroll-line helpers: send a line's visible window, rotate it by one pixel.
    void sendScrollWindow(int line);
    void rotateScrollLine(int line);

    uint16_t counter_[4] = {};
    uint8_t scrollLines_[2][8][scrollLineBytes] = {};
    uint8_t transferBlock_[transferBlockBytes] = {};
    const uint8_t* transferPointer_ = transferBlock_;
    uint8_t scrollLength_[2] = {};
    uint8_t backgroundImage_[backgroundBytes] = {};
    const uint8_t* backgroundPointer_ = backgroundImage_;
    uint16_t backgroundWriteIndex_ = 0;
    int32_t scrollTick_[2] = {0, 0};
};

} // namespace tessaranth
