// SPDX-License-Identifier: GPL-2.0-or-later
// The drawing shared by the analyzer, the scope and the VU meter: an area is built one pixel
// row (text-layer controllers) or one page of 8 rows (page controllers) at a time and sent
// straight to display memory. Whatever lies outside the display is never sent.
#include "vis/Analyzer.h"

#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"

#include <algorithm>

namespace tessaranth {

namespace {

// Page drivers count the pixel column of a run in 8 bits.
constexpr int maxRunColumns = 255;

int visibleCount(int room, int wanted) { return std::clamp(room, 0, wanted); }

} // namespace

// The pixel test is a template argument: it runs for every pixel of the area.
template <Analyzer::PixelTest lit>
void Analyzer::drawRaster(const Area& area, uint8_t* rows, bool withPeaks) {
    const bool page = gLcd->isPageController();
    const int columns = area.columns();
    std::fill_n(rows, columns, uint8_t{0});
    for (int y = 0; y < area.height; ++y) {
        if (withPeaks) markersShown = updatePeaks();
        if (page) {
            const auto bit = static_cast<uint8_t>(1u << (y % 8));
            for (int x = 0; x < columns; ++x)
                if ((this->*lit)(area, x, y)) rows[x] |= bit;
            if (y % 8 != 7) continue;
            sendPage(area, rows, y / 8);
            std::fill_n(rows, columns, uint8_t{0});
            continue;
        }
        for (int cell = 0; cell < area.width; ++cell) {
            uint8_t byte = 0;
            for (int k = 0; k < 6; ++k)
                if ((this->*lit)(area, cell * 6 + k, y)) byte |= static_cast<uint8_t>(0x20 >> k);
            rows[cell] = byte;
        }
        sendGraphicRow(area, rows, y);
    }
}

template void Analyzer::drawRaster<&Analyzer::analyzerPixel>(const Area&, uint8_t*, bool);
template void Analyzer::drawRaster<&Analyzer::filledScopePixel>(const Area&, uint8_t*, bool);
template void Analyzer::drawRaster<&Analyzer::lineScopePixel>(const Area&, uint8_t*, bool);

int Analyzer::visibleRowBytes(const Area& area) {
    return visibleCount(gLcd->graphicRowBytes() - area.x, area.width);
}

int Analyzer::visiblePageColumns(const Area& area) {
    const int room = std::min<int>(gLcd->width(), maxRunColumns) - area.x * 6;
    return visibleCount(room, area.columns());
}

int Analyzer::visibleTextCells(const Area& area) {
    const int cells = gLcd->isPageController() ? gLcd->width() / 6 : gLcd->textCells();
    return visibleCount(cells - area.x, area.width);
}

bool Analyzer::textRowVisible(const Area& area, int line) {
    return area.y / 8 + line < gLcd->height() / 8;
}

void Analyzer::sendGraphicRow(const Area& area, const uint8_t* bytes, int row) {
    const int count = visibleRowBytes(area);
    if (count == 0 || area.y + row >= gLcd->height()) return;
    rowPointer = bytes;
    gController->writeRow(area.x, area.y + row, rowPointer, count);
}

void Analyzer::sendPage(const Area& area, const uint8_t* bytes, int page) {
    const int count = visiblePageColumns(area);
    if (count == 0 || !textRowVisible(area, page)) return;
    rowPointer = bytes;
    gController->writeRow(area.x, area.y / 8 + page, rowPointer, count);
}

void Analyzer::clearGraphicArea(const Area& area, uint8_t* rows) {
    if (gLcd->isPageController()) {
        std::fill_n(rows, area.columns(), uint8_t{0});
        for (int page = 0; page < area.textRows(); ++page) sendPage(area, rows, page);
        return;
    }
    std::fill_n(rows, area.width, uint8_t{0});
    for (int y = 0; y < area.height; ++y) sendGraphicRow(area, rows, y);
}

// Only the character layer's cells: a display without one has nothing to clear.
void Analyzer::clearTextArea(const Area& area) {
    const int cells = visibleTextCells(area);
    for (int row = 0; row < area.textRows() && cells > 0 && textRowVisible(area, row); ++row)
        gController->clearTextCells(static_cast<int16_t>(area.x), static_cast<int16_t>(area.y / 8 + row),
                                    static_cast<int16_t>(cells));
}

void Analyzer::writeTextCells(const Area& area, const uint8_t* codes, int line) {
    const int cells = visibleTextCells(area);
    if (cells == 0 || !textRowVisible(area, line)) return;
    std::copy_n(codes, cells, reinterpret_cast<uint8_t*>(textRow));
    textRow[cells] = '\0';
    gController->writeCells(static_cast<int16_t>(area.x), static_cast<int16_t>(area.y / 8 + line), textRow);
}

} // namespace tessaranth
