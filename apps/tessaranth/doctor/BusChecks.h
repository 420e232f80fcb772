// SPDX-License-Identifier: GPL-2.0-or-later
// The buses a display can be on, each with the checks of what it needs on this machine: the
// parallel port, the USB adapter, and the kernel's buses for user space, I2C (i2c-dev), SPI
// (spidev) and GPIO lines (the GPIO character device), each a device file that the user must be
// able to read and write; then whether the display answers at its I2C address, how much spidev
// sends at once, and whether the GPIO lines the display needs are free.
#pragma once

#include "doctor/BootConfig.h"
#include "doctor/Checks.h"

#include "controllers/ControllerTable.h"
#include "controllers/DriverOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::host {

enum class BusKind { lpt, usb, i2c, spi, gpio };

// A GPIO line the display uses: what it carries, its chip as the settings name it (a path, a
// name, a number or a label) and its offset on the chip (negative: not wired).
struct BusLine {
    std::string role;  // "D/C", "D0", "pin 14"
    std::string chip;
    int32_t offset = -1;
    bool needed = false;  // the display cannot work without it
};

struct Bus {
    BusKind kind = BusKind::lpt;
    uint16_t lptAddress = 0x378;  // lpt: the port's base address
    std::string device;           // i2c, spi: the device file
    uint8_t address = 0;          // i2c: the display's 7-bit address
    std::vector<BusLine> lines;   // spi: D/C and reset; gpio: the parallel port's lines
};

// The bus the settings put a controller's display on.
Bus busOf(const ControllerRow& row, uint16_t lptAddress, const BusSetup& setup);
// "on the parallel port at 0x378", "at 0x3C on /dev/i2c-1"
std::string describe(const Bus& bus);

// What the display's bus needs. On a Raspberry Pi (`pi` given), a missing I2C or SPI device
// file is explained by its config.txt, with the line that enables the bus.
std::vector<Finding> checkBus(const Machine& machine, const Bus& bus, const BootConfig* pi);

} // namespace tessaranth::host
