// SPDX-License-Identifier: GPL-2.0-or-later
#include "geometry/DisplayLayout.h"

namespace tessaranth {

namespace {

struct Layout {
    uint16_t width;
    uint16_t height;
    uint32_t graphicHome;
    int32_t graphicRowBytes;
    uint32_t textHome;
    int32_t textRowBytes;  // the text area: bytes per text row in memory
    int16_t textColumns;
    int16_t textCells;     // cells a text row takes from the drawing parts
};

constexpr Layout layouts[] = {
    // 128 pixels show 22 columns of 6: a text area of 22 keeps the last one blank, where a
    // text row of 21 would show the next row's first character.
    {128, 64, 512, 24, 0, 22, 21, 21},   {240, 64, 512, 40, 0, 40, 40, 40},   {240, 128, 768, 40, 0, 40, 40, 40},
    {256, 128, 1280, 44, 0, 44, 42, 44}, {320, 200, 1792, 56, 0, 53, 53, 53}, {320, 240, 1808, 56, 0, 56, 53, 56},
    {128, 128, 512, 24, 0, 22, 21, 22},  {192, 64, 512, 24, 0, 32, 32, 32},   {128, 32, 512, 24, 0, 32, 32, 32},
    // 256 pixels show 42 columns of 6.
    {256, 64, 512, 44, 0, 42, 42, 42},
};

constexpr Layout unknownLayout{0, 0, 0, 0, 0, 0, 0, 0};

const Layout& layoutFor(uint16_t width, uint16_t height) {
    for (const Layout& layout : layouts)
        if (layout.width == width && layout.height == height) return layout;
    return unknownLayout;
}

} // namespace

void DisplayLayout::setSize(uint16_t width, uint16_t height) {
    width_ = width;
    height_ = height;
    const Layout& layout = layoutFor(width, height);
    graphicHome_ = layout.graphicHome;
    graphicRowBytes_ = layout.graphicRowBytes;
    textHome_ = layout.textHome;
    textRowBytes_ = layout.textRowBytes;
    textColumns_ = layout.textColumns;
    textCells_ = layout.textCells;
    // Where both layers share one pitch, a row of graphic bytes must cover the width.
    const int32_t cellsAcross = (width + 5) / 6;
    rowsWidened_ = sharedPitch_ && graphicRowBytes_ > 0 && graphicRowBytes_ < cellsAcross;
    if (rowsWidened_) graphicRowBytes_ = cellsAcross;
}

uint16_t DisplayLayout::textCellAddress(int16_t column, int16_t row) const {
    return static_cast<uint16_t>(row * textPitch() + static_cast<int32_t>(textHome_) + column);
}

} // namespace tessaranth
