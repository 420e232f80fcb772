// The display layout: memory addresses and row lengths for the chosen size, the text helpers,
// the brightness command, the two scroll lines and the background image. Not a frame buffer.
#pragma once

#include <cstdint>

namespace tessaranth {

class LCD {
public:
    static constexpr int scrollLineBytes = 128;
    static constexpr int transferBlockBytes = 400;
    static constexpr int backgroundBytes = 13443;
    // blankText on a page controller sends a constant block of this many zero bytes.
    static constexpr int blankBlockBytes = 240;
    static constexpr int maxBlankCells = blankBlockBytes / 6;

    LCD();

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
    const uint8_t* backgroundPointer() const { return backgroundPointer_; }
    // Distance in display memory between two text rows: the SED1330 and SED1335 are given one
    // address pitch for both layers (the graphic row bytes); the T6963C has its own text area.
    int32_t textPitch() const { return isSedController() ? graphicRowBytes_ : textRowBytes_; }
    // Display-memory address of a text cell on a text-layer controller (16 bits).
    uint16_t textCellAddress(int16_t column, int16_t row) const;

    void setTextPosition(int16_t column, int16_t row);
    void blankText(int16_t column, int16_t row, int16_t count);
    void setBrightness(uint8_t level);

    // Scroll lines: line 0 is the title, line 1 the artist.
    void buildScrollLine(int line, const char* text);
    void eraseScrollLine(int line);
    void scrollLineStep(int line, int32_t threshold);

    void loadBackground(const char* path);

private:
    // Scroll-line helpers: send a line's visible window, rotate it by one pixel.
    void sendScrollWindow(int line);
    void rotateScrollLine(int line);

    uint8_t controller_ = 0;
    uint16_t counter_[4] = {};
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    int16_t textColumns_ = 0;
    uint32_t graphicHome_ = 0;
    int32_t graphicRowBytes_ = 0;
    uint32_t textHome_ = 0;
    int32_t textRowBytes_ = 0;
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
