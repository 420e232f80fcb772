// SPDX-License-Identifier: GPL-2.0-or-later
// Where the display is: the bus device and address of a serial display, the SPI clock, the D/C
// and reset lines, the SH1106's first column, and the GPIO lines of a parallel-port controller
// wired to a board's header instead of the LPT port. Which of these a display uses follows from
// its controller's transport (and, for the parallel-port controllers, from `parallelOnGpio`).
// Texts live in the record, NUL-terminated, so a copy outlives whatever it was read from.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaranth {

inline constexpr std::size_t busDeviceSize = 64;  // a device path, with its NUL
inline constexpr std::size_t busChipSize = 32;    // a GPIO chip's path, name, number or label, with its NUL

// A GPIO line: a chip and the line's offset on it (-1: not wired).
struct GpioLine {
    char chip[busChipSize] = "gpiochip0";
    int32_t offset = -1;
};

struct BusSettings {
    char i2cDevice[busDeviceSize] = "/dev/i2c-1";
    uint8_t i2cAddress = 0x3C;
    char spiDevice[busDeviceSize] = "/dev/spidev0.0";
    uint32_t spiSpeedHz = 8'000'000;
    GpioLine dc{"gpiochip0", 24};
    GpioLine reset{"gpiochip0", 25};
    // The first memory column an SH1106 module shows: 2 on most, 0 on some.
    uint8_t sh1106ColumnOffset = 2;
    // The parallel-port controllers on GPIO lines of one chip instead of the LPT port: the
    // lines of D0..D7 and of the control pins 1, 14, 16 and 17 (-1: not wired).
    uint8_t parallelOnGpio = 0;
    char parallelChip[busChipSize] = "gpiochip0";
    int32_t dataLines[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int32_t controlLines[4] = {-1, -1, -1, -1};
};

// The values a bus setting may take; anything else read from the registry or a file leaves the
// setting at its default.
namespace busLimits {
inline constexpr uint32_t lowestI2cAddress = 0x03;  // 7-bit addresses outside the reserved ones
inline constexpr uint32_t highestI2cAddress = 0x77;
inline constexpr uint32_t slowestSpiHz = 1'000;
inline constexpr uint32_t fastestSpiHz = 125'000'000;
inline constexpr int32_t highestLine = 65'535;
inline constexpr uint32_t highestColumnOffset = 4;  // 132 memory columns, 128 shown
} // namespace busLimits

} // namespace tessaranth
