// The display as plain data: the controller it was started with, its size, and where the text
// and graphic layers lie in display memory. The drivers read it to address the display; the
// LCD object that draws on it is one (display/LCD.h). Fixed from start-up to shutdown.
#pragma once

#include <cstdint>

namespace tessaranth {

class DisplayLayout {
public:
    // The background image that writeScreen is given: a little more than the largest layout's
    // 56 x 240 = 13440 bytes.
    static constexpr int backgroundBytes = 13443;

    void setSize(uint16_t width, uint16_t height);
    // The controller the display was started with; every drawing part branches on its family.
    void setController(uint8_t controller) { controller_ = controller; }
    uint8_t controller() const { return controller_; }
    // KS0108B and Noritake: column bytes in 8-row pages, text drawn as pixels.
    bool isPageController() const { return controller_ == 3 || controller_ == 4 || controller_ == 5; }
    bool isSedController() const { return controller_ == 1 || controller_ == 2; }
    uint32_t graphicHome() const { return graphicHome_; }
    int32_t graphicRowBytes() const { return graphicRowBytes_; }
    uint32_t textHome() const { return textHome_; }
    int32_t textRowBytes() const { return textRowBytes_; }
    int16_t textColumns() const { return textColumns_; }
    uint16_t width() const { return width_; }
    uint16_t height() const { return height_; }
    // Distance in display memory between two text rows: the SED1330 and SED1335 are given one
    // address pitch for both layers (the graphic row bytes); the T6963C has its own text area.
    int32_t textPitch() const { return isSedController() ? graphicRowBytes_ : textRowBytes_; }
    // Display-memory address of a text cell on a text-layer controller (16 bits).
    uint16_t textCellAddress(int16_t column, int16_t row) const;

private:
    uint8_t controller_ = 0;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    int16_t textColumns_ = 0;
    uint32_t graphicHome_ = 0;
    int32_t graphicRowBytes_ = 0;
    uint32_t textHome_ = 0;
    int32_t textRowBytes_ = 0;
};

} // namespace tessaranth
