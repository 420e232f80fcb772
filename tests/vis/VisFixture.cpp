#include "VisFixture.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"

#include <algorithm>

namespace tessaranth::test {

void MemoryController::setAddress(uint16_t value) {
    RecordingController::setAddress(value);
    address = value;
}

void MemoryController::writeRun(const uint8_t* bytes, int32_t count) {
    RecordingController::writeRun(bytes, count);
    runs.push_back({address, std::vector<uint8_t>(bytes, bytes + count)});
    const int page = address & 0xFF;
    const int firstColumn = (address >> 8) * 6;
    for (int32_t i = 0; i < count; ++i) {
        memory[(address + i) & 0xFFFF] = bytes[i];
        pages[page][(firstColumn + i) & 0xFF] = bytes[i];
    }
}

void MemoryController::writeText(const char* text) {
    RecordingController::writeText(text);
    const auto* codes = reinterpret_cast<const uint8_t*>(text);
    texts.push_back({address, std::vector<uint8_t>(codes, codes + std::char_traits<char>::length(text))});
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
    gLcd->setController(controller);
    gLcd->setSize(width, height);
}

void VisFixture::forget() {
    display->calls.clear();
    display->runs.clear();
    display->texts.clear();
}

bool VisFixture::pixel(int x, int y) const {
    if (gLcd->isPageController()) return (display->pages[y / 8][x] >> (y % 8)) & 1;
    const uint32_t byte = gLcd->graphicHome() + static_cast<uint32_t>(y * gLcd->graphicRowBytes() + x / 6);
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

std::vector<uint8_t> VisFixture::textAt(uint16_t address) const {
    for (auto it = display->texts.rbegin(); it != display->texts.rend(); ++it)
        if (it->address == address) return it->bytes;
    return {};
}

void VisFixture::fillSpectrum(int channel, uint8_t value) {
    std::fill_n(module.spectrumBytes[channel], VIS_SPECTRUM_ENTRIES, value);
}

void VisFixture::fillWaveform(int channel, uint8_t value) {
    std::fill_n(module.waveformBytes[channel], VIS_SPECTRUM_ENTRIES, value);
}

} // namespace tessaranth::test
