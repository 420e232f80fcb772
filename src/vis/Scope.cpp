// SPDX-License-Identifier: GPL-2.0-or-later
// The oscilloscope: the waveform of the current frame as a trace or as a shape filled from the
// centre line.
#include "vis/Analyzer.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr int lastWaveformIndex = VIS_SPECTRUM_ENTRIES - 1;

// A sample's row value: above the centre for a positive average, below it for a negative one,
// never on the wrong side of the centre and never outside the area.
float scopeValue(float sample, float centre, float gain, int height) {
    float value = centre;
    if (sample >= 128.0f)
        value = std::max(centre, centre + (sample - 128.0f) * gain);
    else
        value = std::min(centre, centre - (127.0f - sample) * gain);
    return std::clamp(value, 0.0f, static_cast<float>(height));
}

} // namespace

Analyzer::Area Analyzer::scopeArea(bool block) const {
    const Settings& s = *gSettings;
    return boundedArea(s.scopeXY(), s.scopeWidth(), s.scopeHeight(), block ? maxTextCells : maxGraphicCells);
}

void Analyzer::renderScope(const VisModule* module) {
    if (!module) return;
    const Settings& s = *gSettings;
    if (!s.stereoScope()) {
        const bool block = s.blockScope();
        const Area area = scopeArea(block);
        computeScope(*module, area, block ? area.width : area.columns());
    }
    if (s.scopeType() == 1)
        drawFilledScope();
    else
        drawLineScope();
}

void Analyzer::computeScope(const VisModule& module, const Area& area, int columns) {
    if (columns == 0) return;
    binStep = lastWaveformIndex / columns;
    const float centre = static_cast<float>(area.height) * 0.5f;
    const float gain = (static_cast<float>(gSettings->scopeSens()) * 0.1666f) *
                       (static_cast<float>(area.height) * 0.00390625f);
    for (index = 0; index < columns; ++index) {
        const int sample = index * binStep;
        leftSample = static_cast<float>(module.waveformBytes[0][sample] ^ 0x80);
        rightSample = static_cast<float>(module.waveformBytes[1][sample] ^ 0x80);
        const float average = (leftSample + rightSample) * 0.5f;
        levels[index] = static_cast<uint16_t>(scopeValue(average, centre, gain, area.height));
    }
}

void Analyzer::drawFilledScope() {
    const bool block = gSettings->blockScope();
    const Area area = scopeArea(block);
    if (block) {
        drawScopeBlocks(area);
        return;
    }
    drawRaster<&Analyzer::filledScopePixel>(area, scopeRows, false);
}

void Analyzer::drawLineScope() {
    if (gSettings->blockScope()) return;
    drawRaster<&Analyzer::lineScopePixel>(scopeArea(false), scopeRows, false);
}

// Filled from the centre row up to a positive point, from the row below the centre down to a
// negative one.
bool Analyzer::filledScopePixel(const Area& area, int column, int row) const {
    const int point = area.height - levels[column];
    const int centre = area.height / 2;
    return (point <= row && row <= centre) || (point >= row && row > centre);
}

// Each point is joined to its neighbour's row by a vertical run: on text-layer controllers in
// the column itself towards the next column, on page controllers from the previous column.
bool Analyzer::lineScopePixel(const Area& area, int column, int row) const {
    const int point = area.height - levels[column];
    if (row == point) return true;
    const int last = area.columns() - 1;
    const int neighbour = gLcd->isPageController() ? std::max(column - 1, 0) : std::min(column + 1, last);
    const int other = area.height - levels[neighbour];
    return (point < row && row < other) || (other < row && row < point);
}

// Mirrored about the centre: the upper half shows each column's part above the centre as a bar
// standing on the centre line, the lower half the same bar hanging down. A column at or below
// the centre leaves its cells blank, with the baseline in the last upper row.
void Analyzer::drawScopeBlocks(const Area& area) {
    const int rows = area.textRows();
    const int halves = rows / 2;
    uint8_t* upper = scopeRows;
    uint8_t* lower = scopeRows + area.width;
    for (int row = 0; row < halves; ++row) {
        for (int cell = 0; cell < area.width; ++cell) {
            const int value = std::min<int>(levels[cell], area.height);
            const int empty = area.height - value;
            if (empty / 8 > row) {
                upper[cell] = static_cast<uint8_t>(row == halves - 1 ? 128 : 32);
                lower[cell] = 32;
                continue;
            }
            const int partial = empty % 8;
            if (partial != 0) levels[cell] = static_cast<uint16_t>(value - (8 - partial));
            upper[cell] = static_cast<uint8_t>(135 - partial);
            lower[cell] = static_cast<uint8_t>(143 - partial);
        }
        writeTextCells(area, upper, row);
        writeTextCells(area, lower, rows - (rows % 2 == 0 ? 1 : 2) - row);
    }
}

void Analyzer::clearScopeGraphics() { clearGraphicArea(scopeArea(false), scopeRows); }

void Analyzer::clearScopeText() { clearTextArea(scopeArea(true)); }

} // namespace tessaranth
