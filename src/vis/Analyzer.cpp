// SPDX-License-Identifier: GPL-2.0-or-later
#include "vis/Analyzer.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

#include <algorithm>

namespace tessaranth {

namespace {

constexpr int spectrumEntries = VIS_SPECTRUM_ENTRIES;
constexpr int lastSpectrumIndex = spectrumEntries - 1;

// A spectrum bin; an index outside the array reads as a silent bin.
int spectrumBin(const uint8_t* channel, int bin) {
    return bin >= 0 && bin < spectrumEntries ? channel[bin] : 0;
}

int neighbourSum(const uint8_t* channel, int bin) {
    return spectrumBin(channel, bin - 1) + spectrumBin(channel, bin) + spectrumBin(channel, bin + 1);
}

int nonLinearPosition(int bar, int barsPerChannel) { return (450 / barsPerChannel) * bar; }

} // namespace

Analyzer::Analyzer() { std::fill_n(fallCounters, maxBars, uint16_t{0}); }

Analyzer::Area Analyzer::boundedArea(uint16_t position, int width, int height, int maxWidth) {
    Area area;
    area.x = position >> 8;
    area.y = position & 0xFF;
    area.width = std::min(width, maxWidth);
    area.height = height;
    return area;
}

Analyzer::Area Analyzer::analyzerArea(bool block) const {
    const Settings& s = *gSettings;
    return boundedArea(s.analyzerXY(), s.analyzerWidth(), s.analyzerHeight(),
                       block ? maxTextCells : maxGraphicCells);
}

void Analyzer::renderAnalyzer(const VisModule* module) {
    if (!module) return;
    const Settings& s = *gSettings;
    const bool block = s.blockAnalyzer();
    const Area area = analyzerArea(block);
    barMultiplier = block ? 1 : 6;
    const int bars = area.width * static_cast<int>(barMultiplier);
    if (bars == 0) return;
    const bool stereo = s.stereoAnalyzer();
    binStep = stereo ? (lastSpectrumIndex / bars) * 2 : lastSpectrumIndex / bars;
    computeBars(*module, area, stereo);
    drawAnalyzer();
}

void Analyzer::computeBars(const VisModule& module, const Area& area, bool stereo) {
    const Settings& s = *gSettings;
    const int bars = area.width * static_cast<int>(barMultiplier);
    const int perChannel = stereo ? bars / 2 : bars;
    const bool nonLinear = s.nonLinearAnalyzer();
    const bool smooth = s.smoothAnalyzer();
    const float sens = s.analyzerSens();
    const float linearDivisor = 0.2f * sens + 1.0f;
    for (index = 0; index < perChannel; ++index) {
        takeSamples(module, nonLinear ? nonLinearBin(index, perChannel) : index * binStep, smooth);
        if (!stereo) {
            barValue = boundedValue((leftSample + rightSample) * 0.5f / linearDivisor, area.height);
            levels[index] = static_cast<uint16_t>(barValue);
            continue;
        }
        const float gain = nonLinear ? static_cast<float>(nonLinearGain(index, perChannel)) : 1.0f;
        const float divisor = nonLinear ? 12.0f * sens + 20.0f : linearDivisor;
        leftValue = boundedValue(gain * leftSample / divisor, area.height);
        rightValue = boundedValue(gain * rightSample / divisor, area.height);
        levels[index] = static_cast<uint16_t>(leftValue);
        levels[index + perChannel] = static_cast<uint16_t>(rightValue);
    }
}

int Analyzer::nonLinearBin(int bar, int barsPerChannel) {
    const int x = nonLinearPosition(bar, barsPerChannel);
    if (x < 16) return x / 2;
    if (x <= 112) return x * 2 / 3;
    return x;
}

int Analyzer::nonLinearGain(int bar, int barsPerChannel) {
    const int x = nonLinearPosition(bar, barsPerChannel);
    if (x < 25) return 10;
    if (x < 200) return barsPerChannel;
    return static_cast<int>(static_cast<float>(barsPerChannel) * 0.07f + 127.0f);
}

// Without smoothing the bar takes its bin; with smoothing the running value of each channel
// takes in the bin and its two neighbours, starting from whatever the field last held.
void Analyzer::takeSamples(const VisModule& module, int bin, bool smooth) {
    const uint8_t* left = module.spectrumBytes[0];
    const uint8_t* right = module.spectrumBytes[1];
    if (!smooth) {
        leftSample = static_cast<float>(spectrumBin(left, bin));
        rightSample = static_cast<float>(spectrumBin(right, bin));
        return;
    }
    constexpr float third = 1.0f / 3.0f;
    leftSample = (leftSample + static_cast<float>(neighbourSum(left, bin))) * third;
    rightSample = (rightSample + static_cast<float>(neighbourSum(right, bin))) * third;
}

// Above the area a bar stands at full height; a value of exactly zero still shows one pixel.
float Analyzer::boundedValue(float value, int height) {
    if (value > static_cast<float>(height)) return static_cast<float>(height);
    if (value == 0.0f) return 1.0f;
    return value;
}

void Analyzer::drawAnalyzer() {
    const bool block = gSettings->blockAnalyzer();
    const Area area = analyzerArea(block);
    if (block) {
        drawAnalyzerBlocks(area);
        return;
    }
    drawRaster<&Analyzer::analyzerPixel>(area, analyzerRows, true);
}

// One character cell per bar; the empty part above a bar is blank, its top cell shows the
// partial glyph and every cell below is a full block. The bottom row always keeps a baseline.
void Analyzer::drawAnalyzerBlocks(const Area& area) {
    const int rows = area.textRows();
    for (int row = 0; row < rows; ++row) {
        for (int cell = 0; cell < area.width; ++cell) {
            const int level = std::min<int>(levels[cell], area.height);
            const int empty = area.height - level;
            if (empty / 8 > row) {
                analyzerRows[cell] = static_cast<uint8_t>(row == rows - 1 ? 128 : 32);
                continue;
            }
            const int partial = empty % 8;
            if (partial != 0) levels[cell] = static_cast<uint16_t>(level - (8 - partial));
            analyzerRows[cell] = static_cast<uint8_t>(135 - partial);
        }
        writeTextCells(area, analyzerRows, row);
    }
}

bool Analyzer::analyzerPixel(const Area& area, int column, int row) const {
    if (area.height - levels[column] <= row) return true;
    return markersShown && area.height - peaks[column] == row;
}

// Runs once per drawn pixel row, so the thresholds count rows: a marker holds for 3 x peakHold
// frames and then drops one pixel every falloff frames.
bool Analyzer::updatePeaks() {
    const Settings& s = *gSettings;
    const int falloff = s.falloff();
    if (falloff == 0) return false;
    const bool block = s.blockAnalyzer();
    const Area area = analyzerArea(block);
    barMultiplier = block ? 1 : 6;
    const int bars = area.width * static_cast<int>(barMultiplier);
    binStep = bars > 0 ? lastSpectrumIndex / bars : 0;
    const int fallAfter = falloff * area.height;
    const int holdFor = s.peakHold() * area.height * 3;
    for (int bar = 0; bar < bars; ++bar) {
        if (levels[bar] >= peaks[bar]) {
            peaks[bar] = static_cast<uint8_t>(levels[bar]);
            holdCounters[bar] = 0;
        } else if (fallCounters[bar] >= fallAfter && holdCounters[bar] >= holdFor) {
            --peaks[bar];
            fallCounters[bar] = 0;
        }
        ++fallCounters[bar];
        ++holdCounters[bar];
    }
    return true;
}

void Analyzer::clearAnalyzerGraphics() { clearGraphicArea(analyzerArea(false), analyzerRows); }

void Analyzer::clearAnalyzerText() { clearTextArea(analyzerArea(true)); }

} // namespace tessaranth
