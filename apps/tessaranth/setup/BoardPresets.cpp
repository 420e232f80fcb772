// SPDX-License-Identifier: GPL-2.0-or-later
#include "setup/BoardPresets.h"

#include "controllers/PiHeader.h"

namespace tessaranth::host {

namespace {

// I2C1 at the address most modules answer on.
void piI2c(BusSettings& bus) {
    piheader::useI2c(bus);
    bus.i2cAddress = BusSettings{}.i2cAddress;
}

// A parallel-port controller on the header's lines instead of the port.
void piParallel(BusSettings& bus) {
    bus.parallelOnGpio = 1;
    piheader::useParallelLines(bus);
}

constexpr BoardPreset presets[] = {
    {"Raspberry Pi I2C", piI2c},
    {"Raspberry Pi SPI", piheader::useSpi},
    {"Raspberry Pi GPIO", piParallel},
};

} // namespace

std::span<const BoardPreset> boardPresets() { return presets; }

} // namespace tessaranth::host
