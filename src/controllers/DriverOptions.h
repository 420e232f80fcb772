// SPDX-License-Identifier: GPL-2.0-or-later
// What a driver is told instead of reading the settings: the options that may change while the
// display runs, and the port's address and wiring, fixed when the driver is made.
#pragma once

#include "controllers/PiHeader.h"
#include "settings/BusSettings.h"

#include <cstdint>
#include <string_view>

namespace tessaranth {

class Settings;

struct DriverOptions {
    bool inverse = false;     // graphic bytes inverted
    bool slowStrobe = false;  // the T6963C's two delay reads inside a strobe (interfaceTiming)
};

// The wire choice (0..3: a control-register bit) of the lines named CS, A0, WR and RD.
struct PortWiring {
    int16_t cs = 0;
    int16_t a0 = 0;
    int16_t wr = 0;
    int16_t rd = 0;
};

// Where a serial display is, or the GPIO lines of a parallel one (settings/BusSettings.h); by
// default where a Raspberry Pi's header has them.
using BusSetup = BusSettings;

static_assert([] {
    constexpr BusSetup defaults{};
    return std::string_view(defaults.i2cDevice) == piheader::i2cDevice &&
           std::string_view(defaults.spiDevice) == piheader::spiDevice &&
           std::string_view(defaults.dc.chip) == piheader::chip && defaults.dc.offset == piheader::dcLine &&
           std::string_view(defaults.reset.chip) == piheader::chip && defaults.reset.offset == piheader::resetLine &&
           std::string_view(defaults.parallelChip) == piheader::chip;
}(), "the bus settings' defaults are the Raspberry Pi header's lines");

struct DriverSetup {
    uint16_t portAddress = 0;
    PortWiring wiring;
    BusSetup bus;
};

DriverOptions driverOptions(const Settings& settings);
DriverSetup driverSetup(const Settings& settings);

} // namespace tessaranth
