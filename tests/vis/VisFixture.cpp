// SPDX-License-Identifier: GPL-2.0-or-later
#include "VisFixture.h"

#include "TableDriver.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"

#include <algorithm>

namespace tessaranth::test {

void MemoryController::writeRow(int column, int row, const uint8_t* bytes, int32_t count) {
    RecordingController::writeRow(column, row, bytes, count);
    runs.push_back({column, row, std::vector<uint8_t>(bytes, bytes + count)});
    const auto start = static_cast<uint32_t>(row * rowBytes + column);
    for (int32_t i = 0; i < count; ++i) {
        memory[(start + static_cast<uint32_t>(i)) & 0xFFFF] = bytes[i];
        pages[row & 0xFF][(column * 6 + i) & 0xFF] = bytes[i];
    }
}

void MemoryController::writeCells(int16_t column, int16_t line, const char* codes) {
    RecordingController::writeCells(column, line, codes);
    const auto* bytes = reinterpret_cast<const uint8_t*>(codes);
    cells.push_back({column, line, std::vector<uint8_t>(bytes, bytes + std::char_traits<char>::length(codes))});
}

void VisFixture::SetUp() {
    loadPlugin();
    display = new MemoryController;
    gController = display;
    useDisplay(0, 240, 128);
}

void VisFixture::TearDown() {
    unloadPlugin();
    display = nullptr;
}

void VisFixture::useDisplay(uint8_t controller, uint16_t width, uint16_t height) {
    useFamilyOf(*gLcd, controller);
    gLcd->setSize(width, height);
    display->rowBytes = gLcd->graphicRowBytes();
}

void VisFixture::forget() {
    display->calls.clear();
    display->runs.clear();
    display->cells.clear();
}

bool VisFixture::pixel(int x, int y) const {
    if (gLcd->isPageController()) return (display->pages[y / 8][x] >> (y % 8)) & 1;
    const auto byte = static_cast<uint32_t>(y * gLcd->graphicRowBytes() + x / 6);
    return (display->memory[byte & 0xFFFF] >> (5 - x % 6)) & 1;
}

std::string VisFixture::column(int x, int from, int to) const {
    std::string result;
    for (int y = from; y < to; ++y) result += pixel(x, y) ? '#' : '.';
    return result;
}

std::vector<int> VisFixture::litInRow(int y, int from, int to) const {
    std::vector<int> result;
    for (int x = from; x < to; ++x)
        if (pixel(x, y)) result.push_back(x);
    return result;
}

std::vector<uint8_t> VisFixture::cellsAt(int column, int line) const {
    for (auto it = display->cells.rbegin(); it != display->cells.rend(); ++it)
        if (it->column == column && it->row == line) return it->bytes;
    return {};
}

void VisFixture::fillSpectrum(int channel, uint8_t value) {
    std::fill_n(module.spectrumBytes[channel], VIS_SPECTRUM_ENTRIES, value);
}

void VisFixture::fillWaveform(int channel, uint8_t value) {
    std::fill_n(module.waveformBytes[channel], VIS_SPECTRUM_ENTRIES, value);
}

} // namespace tessaranth::test
