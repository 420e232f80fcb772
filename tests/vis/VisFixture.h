// A fresh set of display objects for every visualisation test, with a driver that keeps what
// it is sent as display memory, so that tests can read back the pixels and cells drawn.
#pragma once

#include "RecordingController.h"

#include "tessaranth/plugin_abi.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

// Row runs land at consecutive addresses (text-layer controllers); the same run is also kept
// as column bytes of a page (page controllers: column cell in the high byte, page in the low).
class MemoryController : public RecordingController {
public:
    struct Write {
        uint16_t address;
        std::vector<uint8_t> bytes;
    };

    void setAddress(uint16_t address) override;
    void writeRun(const uint8_t* bytes, int32_t count) override;
    void writeText(const char* text) override;

    uint16_t address = 0;
    std::vector<Write> runs;
    std::vector<Write> texts;
    std::vector<uint8_t> memory = std::vector<uint8_t>(0x10000, 0);
    std::array<std::array<uint8_t, 256>, 256> pages{};
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
    // The codes written as text at a text-layer cell address.
    std::vector<uint8_t> textAt(uint16_t address) const;

    void fillSpectrum(int channel, uint8_t value);
    void fillWaveform(int channel, uint8_t value);

    MemoryController* display = nullptr;
    VisModule module{};
};

} // namespace tessaranth::test
