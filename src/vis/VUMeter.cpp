// SPDX-License-Identifier: GPL-2.0-or-later
// The VU meter: a needle from a pivot below the middle of the meter's bottom edge to its top
// edge, following the loudness of the left channel averaged over the last frames.
#include "vis/Analyzer.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdlib>

namespace tessaranth {

Analyzer::Area Analyzer::vuArea() const {
    const Settings& s = *gSettings;
    const int width = s.vuMeterWidth();
    const int height = width > 0 ? std::min<int>(s.vuMeterHeight(), rowBufferBytes / width) : 0;
    return boundedArea(s.vuMeterXY(), width, height, width);
}

void Analyzer::renderVUMeter(const VisModule* module) {
    if (!module) return;
    const int frames = std::clamp<int>(gSettings->vuMeterSens(), 1, maxAveragedFrames);
    const float level = averagePeak(measurePeak(*module), frames);
    drawVUMeter(static_cast<int32_t>(level), 0);
}

// The largest distance of a left-channel sample from silence, 0 .. 128.
float Analyzer::measurePeak(const VisModule& module) {
    float peak = 0.0f;
    for (index = 0; index < VIS_SPECTRUM_ENTRIES; ++index) {
        leftSample = static_cast<float>(module.waveformBytes[0][index] ^ 0x80);
        rightSample = static_cast<float>(module.waveformBytes[1][index] ^ 0x80);
        leftSample = leftSample >= 128.0f ? leftSample - 128.0f : 128.0f - leftSample;
        peak = std::max(peak, leftSample);
    }
    return peak;
}

// The newest peak enters the history and is counted twice in the average.
float Analyzer::averagePeak(float peak, int frames) {
    vuHistory[frames] = peak;
    for (int entry = 1; entry <= frames; ++entry) vuHistory[entry - 1] = vuHistory[entry];
    float sum = peak;
    for (int entry = 0; entry < frames; ++entry) sum += vuHistory[entry];
    const float range = static_cast<float>(gSettings->vuMeterRange()) * 0.125f;
    return range * (sum / static_cast<float>(frames));
}

void Analyzer::drawVUMeter(int32_t first, int32_t second) {
    const Area area = vuArea();
    const int64_t position = (static_cast<int64_t>(first) + second) / 2;
    barValue = static_cast<float>(std::clamp<int64_t>(position, 0, area.columns()));
    const int bytes = gLcd->isPageController() ? area.columns() * area.textRows() : area.width * area.height;
    std::fill_n(vuRows, bytes, uint8_t{0});
    plotNeedle(area);
    sendVuMeter(area);
}

// A fixed-step walk from the pivot (not plotted) to the tip (plotted last). Each step is taken
// from the pivot rather than added up, so the walk ends exactly on the tip.
void Analyzer::plotNeedle(const Area& area) {
    const int pivotX = area.columns() / 2;
    const int dx = static_cast<int>(barValue) - pivotX;
    const int dy = -area.height;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int step = 1; step <= steps; ++step) {
        const float x = static_cast<float>(pivotX) + static_cast<float>(dx * step) / static_cast<float>(steps);
        const float y = static_cast<float>(area.height) + static_cast<float>(dy * step) / static_cast<float>(steps);
        if (x < 0.0f || y < 0.0f || x >= static_cast<float>(area.columns()) || y >= static_cast<float>(area.height))
            continue;
        setVuPixel(area, static_cast<int>(x), static_cast<int>(y));
    }
}

// Row bytes on text-layer controllers; column bytes in whole pages on page controllers.
void Analyzer::setVuPixel(const Area& area, int column, int row) {
    if (!gLcd->isPageController()) {
        vuRows[area.width * row + column / 6] |= static_cast<uint8_t>(0x20 >> (column % 6));
        return;
    }
    if (row >= area.textRows() * 8) return;
    vuRows[(row / 8) * area.columns() + column] |= static_cast<uint8_t>(1u << (row % 8));
}

void Analyzer::sendVuMeter(const Area& area) {
    if (gLcd->isPageController()) {
        for (int page = 0; page < area.textRows(); ++page) sendPage(area, vuRows + page * area.columns(), page);
        return;
    }
    for (int row = 0; row < area.height; ++row) sendGraphicRow(area, vuRows + area.width * row, row);
}

void Analyzer::clearVUMeter() {
    const Area area = vuArea();
    std::fill_n(vuRows, area.width * area.height, uint8_t{0});
    sendVuMeter(area);
}

} // namespace tessaranth
