// SPDX-License-Identifier: GPL-2.0-or-later
// A fresh set of display objects for every visualisation test, with a driver that keeps what
// it is sent as display memory, so that tests can read back the pixels and cells drawn.
#pragma once

#include "RecordingController.h"

#include "tessaranth/plugin_abi.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessaranth::test {

// Keeps what it is sent as display memory. Rows: a run lands in a graphic row of 6-pixel cells
// (text-layer controllers) and is also kept as the column bytes of a page (page controllers).
class MemoryController : public RecordingController {
public:
    struct Write {
        int column;
        int row;  // the pixel row or page of a run, the text line of cells
        std::vector<uint8_t> bytes;
        std::pair<int, int> place() const { return {column, row}; }
    };

    void writeRow(int column, int row, const uint8_t* bytes, int32_t count) override;
    void writeCells(int16_t column, int16_t line, const char* codes) override;

    std::vector<Write> runs;
    std::vector<Write> cells;
    std::vector<uint8_t> memory = std::vector<uint8_t>(0x10000, 0);
    std::array<std::array<uint8_t, 256>, 256> pages{};
    // Graphic bytes of a row in memory (the layout's, set with the display).
    int rowBytes = 0;
};

class VisFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The controller the display started with and the display size.
    void useDisplay(uint8_t controller, uint16_t width, uint16_t height);
    // Forgets what was sent so far (the memory keeps its contents).
    void forget();

    // One pixel of the display as the sent bytes left it, in the format of the current family.
    bool pixel(int x, int y) const;
    // Pixel rows of column x from top to bottom between rows from and to (exclusive), as '#'/'.'.
    std::string column(int x, int from, int to) const;
    // Lit pixels of row y between columns from and to (exclusive).
    std::vector<int> litInRow(int y, int from, int to) const;
    // The codes last written as cells at a text cell.
    std::vector<uint8_t> cellsAt(int column, int line) const;

    void fillSpectrum(int channel, uint8_t value);
    void fillWaveform(int channel, uint8_t value);

    MemoryController* display = nullptr;
    VisModule module{};
};

} // namespace tessaranth::test
