// SPDX-License-Identifier: GPL-2.0-or-later
// The working state of the spectrum analyzer, the oscilloscope and the VU meter. Each builds its
// area row by row (or page by page) in its own buffer and sends it straight to display memory.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth {

class Analyzer {
public:
    static constexpr int maxBars = 336;
    static constexpr int rowBufferBytes = 9856;
    static constexpr int maxTextCells = 51;
    static constexpr int historyEntries = 24;
    static constexpr int maxAveragedFrames = historyEntries - 1;
    // Widest graphic area whose pixel columns fit the per-bar arrays.
    static constexpr int maxGraphicCells = maxBars / 6;

    Analyzer();

    // Spectrum analyzer.
    void renderAnalyzer(const VisModule* module);
    void drawAnalyzer();
    bool updatePeaks();
    void clearAnalyzerGraphics();
    void clearAnalyzerText();

    // Oscilloscope.
    void renderScope(const VisModule* module);
    void drawFilledScope();
    void drawLineScope();
    void clearScopeGraphics();
    void clearScopeText();

    // VU meter.
    void renderVUMeter(const VisModule* module);
    void drawVUMeter(int32_t first, int32_t second);
    void clearVUMeter();

    // Read access to the working state.
    uint16_t level(int bar) const { return levels[bar]; }
    uint8_t peak(int bar) const { return peaks[bar]; }
    int32_t currentBinStep() const { return binStep; }
    float currentLeftSample() const { return leftSample; }
    float currentBarValue() const { return barValue; }
    float history(int entry) const { return vuHistory[entry]; }

private:
    // A rectangular area as the settings give it, bounded to what the buffers hold. X counts
    // cells of 6 pixels, Y pixel rows; width in cells, height in pixel rows.
    struct Area {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int columns() const { return width * 6; }
        int textRows() const { return height / 8; }
    };
    using PixelTest = bool (Analyzer::*)(const Area& area, int column, int row) const;

    static Area boundedArea(uint16_t position, int width, int height, int maxWidth);
    Area analyzerArea(bool block) const;
    Area scopeArea(bool block) const;
    Area vuArea() const;

    // Analyzer computation.
    void computeBars(const VisModule& module, const Area& area, bool stereo);
    static int nonLinearBin(int bar, int barsPerChannel);
    static int nonLinearGain(int bar, int barsPerChannel);
    void takeSamples(const VisModule& module, int bin, bool smooth);
    static float boundedValue(float value, int height);
    void drawAnalyzerBlocks(const Area& area);
    bool analyzerPixel(const Area& area, int column, int row) const;

    // Scope computation and drawing.
    void computeScope(const VisModule& module, const Area& area, int columns);
    void drawScopeBlocks(const Area& area);
    bool filledScopePixel(const Area& area, int column, int row) const;
    bool lineScopePixel(const Area& area, int column, int row) const;

    // VU meter.
    float measurePeak(const VisModule& module);
    float averagePeak(float peak, int frames);
    void plotNeedle(const Area& area);
    void setVuPixel(const Area& area, int column, int row);
    void sendVuMeter(const Area& area);

    // Drawing shared by the three: rows and pages of graphic bytes, rows of text cells.
    template <PixelTest lit>
    void drawRaster(const Area& area, uint8_t* rows, bool withPeaks);
    void sendGraphicRow(const Area& area, const uint8_t* bytes, int row);
    void sendPage(const Area& area, const uint8_t* bytes, int page);
    void clearGraphicArea(const Area& area, uint8_t* rows);
    void clearTextArea(const Area& area);
    void writeTextCells(const Area& area, const uint8_t* codes, int line);
    static int visibleRowBytes(const Area& area);
    static int visiblePageColumns(const Area& area);
    static int visibleTextCells(const Area& area);
    static bool textRowVisible(const Area& area, int line);

    uint16_t index = 0;
    float leftSample = 0.0f;
    float rightSample = 0.0f;
    uint16_t levels[maxBars] = {};
    float barValue = 0.0f;
    float leftValue = 0.0f;
    float rightValue = 0.0f;
    uint32_t barMultiplier = 6;
    int32_t binStep = 0;
    uint8_t analyzerRows[rowBufferBytes] = {};
    uint8_t scopeRows[rowBufferBytes] = {};
    uint8_t vuRows[rowBufferBytes] = {};
    const uint8_t* rowPointer = analyzerRows;
    uint8_t peaks[maxBars] = {};
    uint16_t fallCounters[maxBars] = {};
    uint16_t holdCounters[maxBars] = {};
    char textRow[maxTextCells + 1] = {};
    float vuHistory[historyEntries] = {};
    bool markersShown = false;
};

} // namespace tessaranth
