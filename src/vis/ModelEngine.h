// SPDX-License-Identifier: GPL-2.0-or-later
// The rotating wire-frame model: two cubes orbiting each other on an ellipse, each spinning
// about its own vertical axis, drawn with a simple perspective.
#pragma once

#include <cstdint>

namespace tessaranth {

class ModelEngine {
public:
    static constexpr int pixelBytes = 5120;
    static constexpr int animationFrames = 62;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // The fuzz builds play every 15th frame of the animation (five, about a quarter turn apart):
    // what a frame draws does not depend on the input, and where it goes (the rows and their
    // stride) is the same for every frame.
    static constexpr int animationStep = 15;
#else
    static constexpr int animationStep = 1;
#endif
    static constexpr uint32_t framePauseMillis = 40;
    static constexpr int firstRow = 64;

    ModelEngine();

    // Plays the whole animation, pausing after every frame.
    void renderModels();
    void drawModel(float ox, float oy, float oz, float angle, float scale);
    void drawEdge(float x0, float y0, float z0, float x1, float y1, float z1);
    void plotPoint(int32_t x, int32_t y);

    // The pixel buffer, in text-layer row bytes with the display's row stride.
    const uint8_t* pixelBuffer() const { return pixels; }
    // Bytes cleared and sent per frame: whole display rows from row 64 on.
    int sendBytes() const;

private:
    void clearFrame();

    int32_t centerX;
    int32_t centerY;
    uint8_t pixels[pixelBytes] = {};
    uint16_t sendRows;
};

} // namespace tessaranth
