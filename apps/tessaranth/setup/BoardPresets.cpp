// SPDX-License-Identifier: GPL-2.0-or-later
#include "setup/BoardPresets.h"

#include "controllers/PiHeader.h"

#include <algorithm>
#include <cstdio>

namespace tessaranth::host {

namespace {

template <std::size_t size>
void put(char (&field)[size], const char* text) {
    std::snprintf(field, size, "%s", text);
}

// I2C1 at the address most modules answer on.
void piI2c(BusSettings& bus) {
    put(bus.i2cDevice, piheader::i2cDevice);
    bus.i2cAddress = BusSettings{}.i2cAddress;
}

// SPI0 on CE0, with the D/C and reset lines.
void piSpi(BusSettings& bus) {
    put(bus.spiDevice, piheader::spiDevice);
    put(bus.dc.chip, piheader::chip);
    bus.dc.offset = piheader::dcLine;
    put(bus.reset.chip, piheader::chip);
    bus.reset.offset = piheader::resetLine;
}

// A parallel-port controller on the header's lines instead of the port.
void piParallel(BusSettings& bus) {
    bus.parallelOnGpio = 1;
    put(bus.parallelChip, piheader::chip);
    std::ranges::copy(piheader::parallelData, bus.dataLines);
    std::ranges::copy(piheader::parallelControl, bus.controlLines);
}

constexpr BoardPreset presets[] = {
    {"Raspberry Pi I2C", piI2c},
    {"Raspberry Pi SPI", piSpi},
    {"Raspberry Pi GPIO", piParallel},
};

} // namespace

std::span<const BoardPreset> boardPresets() { return presets; }

} // namespace tessaranth::host
