// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/PageController.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr uint8_t blankBlock[PageController::blankBlockBytes] = {};

} // namespace

void PageController::place(int column, int page) {
    const auto packed = static_cast<uint16_t>(column * 256 + page);
    column_ = packed >> 8;
    page_ = packed & 0xFF;
}

void PageController::blankText(int16_t column, int16_t line, int16_t count) {
    const int16_t cells = std::clamp<int16_t>(count, 0, maxBlankCells);
    writeBlock(blankBlock, static_cast<uint16_t>(column), static_cast<uint16_t>(line), 8, static_cast<uint16_t>(cells));
}

void PageController::writeText(int16_t column, int16_t line, const char* text) {
    place(column, line);
    sendText(text);
}

void PageController::writeRow(int column, int row, const uint8_t* bytes, int32_t count) {
    place(column, row);
    sendRun(bytes, count);
}

} // namespace tessaranth
