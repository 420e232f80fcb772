// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerTable.h"

#include "controllers/KS0108B.h"
#include "controllers/NoritakeVFD.h"
#include "controllers/GpioRegisters.h"
#include "controllers/I2cLink.h"
#include "controllers/SED133x.h"
#include "controllers/SH1106.h"
#include "controllers/SSD130x.h"
#include "controllers/SSD1322.h"
#include "controllers/ST7920.h"
#include "controllers/SpiLink.h"
#include "controllers/T6963C.h"
#include "controllers/USB2LCD.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace tessaranth::drivers {

namespace {

std::unique_ptr<PortRegisters> portRegisters(const DriverSetup& setup) {
    if (!setup.bus.parallelOnGpio) return std::make_unique<LptRegisters>(setup.portAddress);
    platform::ParallelLines lines;
    lines.chip = setup.bus.parallelChip;
    std::copy(std::begin(setup.bus.dataLines), std::end(setup.bus.dataLines), lines.data);
    std::copy(std::begin(setup.bus.controlLines), std::end(setup.bus.controlLines), lines.control);
    return std::make_unique<GpioRegisters>(lines);
}

template <class Driver>
ControllerLSI* onParallelPort(const DriverSetup& setup) {
    return new Driver(ParallelPort(portRegisters(setup), setup.wiring));
}

std::unique_ptr<I2cLink> onI2c(const BusSetup& bus) { return std::make_unique<I2cLink>(bus.i2cDevice, bus.i2cAddress); }

platform::spi::Line spiLine(const GpioLine& line) { return {line.chip, line.offset}; }

platform::spi::Options spiOptions(const BusSetup& bus) {
    platform::spi::Options options;
    options.device = bus.spiDevice;
    options.speedHz = bus.spiSpeedHz;
    options.dc = spiLine(bus.dc);
    options.reset = spiLine(bus.reset);
    return options;
}

} // namespace

ControllerLSI* makeT6963C(const DriverSetup& setup) { return onParallelPort<T6963C>(setup); }
ControllerLSI* makeSED133x(const DriverSetup& setup) { return onParallelPort<SED133x>(setup); }
ControllerLSI* makeKS0108B(const DriverSetup& setup) { return onParallelPort<KS0108B>(setup); }
ControllerLSI* makeNoritakeVFD(const DriverSetup& setup) { return onParallelPort<NoritakeVFD>(setup); }
ControllerLSI* makeUSB2LCD(const DriverSetup&) { return new USB2LCD; }
ControllerLSI* makeSSD1306(const DriverSetup& setup) { return new SSD130x(SSD130x::Chip::ssd1306, onI2c(setup.bus)); }
ControllerLSI* makeSSD1309(const DriverSetup& setup) { return new SSD130x(SSD130x::Chip::ssd1309, onI2c(setup.bus)); }
ControllerLSI* makeSH1106(const DriverSetup& setup) { return new SH1106(setup.bus.sh1106ColumnOffset, onI2c(setup.bus)); }

ControllerLSI* makeST7920(const DriverSetup& setup) {
    // Chip select active high, no D/C line, and no faster clock than the chip takes.
    platform::spi::Options options = spiOptions(setup.bus);
    options.mode = platform::spi::modeCsHigh;
    options.speedHz = std::min(options.speedHz, ST7920::fastestClockHz);
    options.dc = {};
    return new ST7920(std::make_unique<SpiLink>(options));
}

ControllerLSI* makeSSD1322(const DriverSetup& setup) { return new SSD1322(std::make_unique<SpiLink>(spiOptions(setup.bus))); }

} // namespace tessaranth::drivers
