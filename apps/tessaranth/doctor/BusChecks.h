// The buses a display can be on, each with the checks of what it needs on this machine: the
// parallel port, the USB adapter, and the kernel's buses for user space, I2C (i2c-dev), SPI
// (spidev) and GPIO lines (the GPIO character device), each a device file that the user must be
// able to read and write.
#pragma once

#include "doctor/BootConfig.h"
#include "doctor/Checks.h"

#include <cstdint>
#include <vector>

namespace tessaranth::host {

enum class BusKind { lpt, usb, i2c, spi, gpio };

struct Bus {
    BusKind kind = BusKind::lpt;
    uint16_t lptAddress = 0x378;  // lpt: the port's base address
    unsigned number = 0;          // i2c: /dev/i2c-N; spi: /dev/spidevN.C; gpio: /dev/gpiochipN
    unsigned chipSelect = 0;      // spi: C
};

// What the display's bus needs. On a Raspberry Pi (`pi` given), a missing I2C or SPI device
// file is explained by its config.txt, with the line that enables the bus.
std::vector<Finding> checkBus(const Machine& machine, const Bus& bus, const BootConfig* pi);

} // namespace tessaranth::host
