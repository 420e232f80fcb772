#include "display/LCD.h"

#include "controllers/ControllerLSI.h"
#include "globals/Globals.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr uint8_t noritakeController = 5;

struct Layout {
    uint16_t width;
    uint16_t height;
    uint32_t graphicHome;
    int32_t graphicRowBytes;
    uint32_t textHome;
    int32_t textRowBytes;
    int16_t textColumns;
};

constexpr Layout layouts[] = {
    {128, 64, 512, 24, 0, 21, 21},   {240, 64, 512, 40, 0, 40, 40},   {240, 128, 768, 40, 0, 40, 40},
    {256, 128, 1280, 44, 0, 44, 42}, {320, 200, 1792, 56, 0, 53, 53}, {320, 240, 1808, 56, 0, 56, 53},
    {128, 128, 512, 24, 0, 22, 21},  {192, 64, 512, 24, 0, 32, 32},   {128, 32, 512, 24, 0, 32, 32},
};

constexpr Layout unknownLayout{0, 0, 0, 0, 0, 0, 0};

const Layout& layoutFor(uint16_t width, uint16_t height) {
    for (const Layout& layout : layouts)
        if (layout.width == width && layout.height == height) return layout;
    return unknownLayout;
}

constexpr uint8_t blankBlock[LCD::blankBlockBytes] = {};

} // namespace

LCD::LCD() = default;

void LCD::setSize(uint16_t width, uint16_t height) {
    width_ = width;
    height_ = height;
    const Layout& layout = layoutFor(width, height);
    graphicHome_ = layout.graphicHome;
    graphicRowBytes_ = layout.graphicRowBytes;
    textHome_ = layout.textHome;
    textRowBytes_ = layout.textRowBytes;
    textColumns_ = layout.textColumns;
}

uint16_t LCD::textCellAddress(int16_t column, int16_t row) const {
    return static_cast<uint16_t>(row * textPitch() + static_cast<int32_t>(textHome_) + column);
}

void LCD::setTextPosition(int16_t column, int16_t row) {
    if (isPageController())
        gController->setAddress(static_cast<uint16_t>(column * 256 + row));
    else
        gController->setAddress(textCellAddress(column, row));
}

void LCD::blankText(int16_t column, int16_t row, int16_t count) {
    if (isPageController()) {
        // The zero block holds 40 cells; a longer run is cut there rather than read past it.
        const int16_t cells = std::clamp<int16_t>(count, 0, maxBlankCells);
        gController->writeBlock(blankBlock, static_cast<uint16_t>(column), static_cast<uint16_t>(row), 8,
                                static_cast<uint16_t>(cells));
        return;
    }
    gController->setAddress(textCellAddress(column, row));
    gController->writeCommand(gController->autoWriteCode());
    for (int16_t cell = 0; cell < count; ++cell) gController->writeData(0);
    gController->writeCommand(gController->autoResetCode());
}

void LCD::setBrightness(uint8_t level) {
    if (controller_ == noritakeController) gController->writeCommand(static_cast<uint16_t>(0x40 | (level & 0x0F)));
}

} // namespace tessaranth
