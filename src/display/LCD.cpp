#include "display/LCD.h"

#include "controllers/ControllerLSI.h"
#include "globals/Globals.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr uint8_t noritakeController = 5;

constexpr uint8_t blankBlock[LCD::blankBlockBytes] = {};

} // namespace

LCD::LCD() = default;

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
    if (controller() == noritakeController) gController->writeCommand(static_cast<uint16_t>(0x40 | (level & 0x0F)));
}

} // namespace tessaranth
