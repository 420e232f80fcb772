// What a driver is told instead of reading the settings: the options that may change while the
// display runs, and the port's address and wiring, fixed when the driver is made.
#pragma once

#include "controllers/PiHeader.h"

#include <cstdint>

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

// A GPIO line: a chip (path, name, number or label) and the line's offset on it.
struct GpioLine {
    const char* chip = "gpiochip0";
    int32_t offset = -1;
};

// Where a serial display is: the bus device and address, the SPI clock and the D/C and reset
// lines; by default where a Raspberry Pi's header has them. The texts must outlive the driver's
// making (the devices copy them).
struct BusSetup {
    const char* i2cDevice = piheader::i2cDevice;
    uint8_t i2cAddress = 0x3C;
    const char* spiDevice = piheader::spiDevice;
    uint32_t spiSpeedHz = 8'000'000;
    GpioLine dc{piheader::chip, piheader::dcLine};
    GpioLine reset{piheader::chip, piheader::resetLine};
    // The first memory column an SH1106 module shows: 2 on most, 0 on some.
    uint8_t sh1106ColumnOffset = 2;
    // The parallel-port controllers on GPIO lines of one chip instead of the LPT port: the
    // lines of D0..D7 and of the control pins 1, 14, 16 and 17 (-1: not wired).
    bool parallelOnGpio = false;
    const char* parallelChip = piheader::chip;
    int32_t dataLines[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int32_t controlLines[4] = {-1, -1, -1, -1};
};

struct DriverSetup {
    uint16_t portAddress = 0;
    PortWiring wiring;
    BusSetup bus;
};

DriverOptions driverOptions(const Settings& settings);
DriverSetup driverSetup(const Settings& settings);

} // namespace tessaranth
