// SPDX-License-Identifier: GPL-2.0-or-later
// The hardware guide's part on a Raspberry Pi's 40-pin header: for each display on I2C or SPI,
// and for the parallel-port controllers on GPIO lines, which module pin goes to which header pin,
// and the whole header with what each display puts on each pin. The pins, the bus functions
// and the default lines come from the header's table (controllers/PiHeader.h) and the bus
// settings' defaults (BusSetup), the displays from the controller table.
#pragma once

#include <cstdint>
#include <span>
#include <vector>
#include <string>
#include <string_view>

namespace tessaranth::guide {

// A module pin and what it goes to on the header: a power or bus function of the header's
// table ("GND", "I2C1 SDA"), else the GPIO line `gpio`.
struct HeaderConnection {
    std::string signal;
    std::string function;  // empty: the line `gpio`
    int gpio = -1;
};

struct HeaderWiring {
    std::string heading;
    std::string displays;  // "the I2C OLEDs": how the header table names them
    std::vector<HeaderConnection> connections;
    std::string notes;
};

// The wirings in the guide's order: the I2C controllers, each SPI controller, then the parallel
// controllers on GPIO.
std::vector<HeaderWiring> headerWirings();

// The header pin a connection goes to; 0 when the header lacks it.
int headerPin(const HeaderConnection& connection);

std::string piHeaderSection();

inline constexpr std::string_view piSectionStart =
    "<!-- Raspberry Pi header: written by `make hardware-guide` from the header's and the controllers' tables; do not edit -->";
inline constexpr std::string_view piSectionEnd = "<!-- end of the Raspberry Pi header -->";

} // namespace tessaranth::guide
