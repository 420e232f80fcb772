#include "display/LCD.h"

namespace tessaranth {

LCD::LCD() = default;

void LCD::setSize(uint16_t width, uint16_t height) {
    width_ = width;
    height_ = height;
}

void LCD::setTextPosition(int16_t, int16_t) {}
void LCD::blankText(int16_t, int16_t, int16_t) {}
void LCD::setBrightness(uint8_t) {}

} // namespace tessaranth
