// SPDX-License-Identifier: GPL-2.0-or-later
// Today's serial displays as the tests drive them: each controller on the size it is tested
// at, with an emulator of its chip behind the bus.
#pragma once

#include "emu/BusEmulator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <span>

namespace tessaranth::test {

struct SerialChip {
    const char* name;  // also the name of its golden picture
    uint8_t controller;
    uint8_t displayFormat;
    std::function<std::unique_ptr<emu::BusEmulator>()> make;
    uint32_t spiGapMicros = 0;  // the pace the platform keeps between paced SPI writes
};

// Its name, in a test's messages.
void PrintTo(const SerialChip& chip, std::ostream* out);

// SSD1306 128x64 and 128x32, SSD1309, SH1106, ST7920 and SSD1322, in that order.
std::span<const SerialChip> serialChips();

} // namespace tessaranth::test
