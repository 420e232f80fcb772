// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/TextLayerController.h"

#include "controllers/Runs.h"
#include "geometry/DisplayLayout.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr int barRows = 9;

} // namespace

uint16_t TextLayerController::textCell(int16_t column, int16_t line) const {
    return layout().textCellAddress(column, line);
}

void TextLayerController::writeText(int16_t column, int16_t line, const char* text) {
    setAddress(textCell(column, line));
    sendCharacters(text);
}

void TextLayerController::writeCells(int16_t column, int16_t line, const char* codes) {
    setAddress(textCell(column, line));
    sendCells(codes);
}

void TextLayerController::blankText(int16_t column, int16_t line, int16_t count) {
    setAddress(textCell(column, line));
    sendBlankCells(count);
}

void TextLayerController::writeRow(int column, int row, const uint8_t* bytes, int32_t count) {
    const auto address = layout().graphicHome() + static_cast<uint32_t>(column) +
                         static_cast<uint32_t>(layout().graphicRowBytes() * row);
    setAddress(static_cast<uint16_t>(address));
    sendRun(bytes, count);
}

void TextLayerController::highlightLine(int16_t column, int16_t line, int16_t width, bool lit) {
    const uint8_t* run = lit ? runs::lit.data() : runs::dark.data();
    for (int r = 0; r < barRows; ++r) {
        const int32_t pixelRow = 8 * line + r - 1;
        setAddress(static_cast<uint16_t>(layout().graphicHome() + column + layout().graphicRowBytes() * pixelRow));
        sendRun(run, std::min<int32_t>(width, runs::longest));
    }
}

} // namespace tessaranth
