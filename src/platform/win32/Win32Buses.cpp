// SPDX-License-Identifier: GPL-2.0-or-later
// The buses of small Linux boards do not exist on Windows: every open says so, and nothing is
// ever sent.
#include "platform/Gpio.h"
#include "platform/I2c.h"
#include "platform/Spi.h"

namespace tessaranth::platform {

namespace {

int32_t unavailable(BusFault& fault, const char* bus, const char* device) {
    fault.set("%s is not available on Windows: %s is a device of a Linux board", bus, device ? device : "the device");
    return -1;
}

} // namespace

namespace i2c::native {
int32_t open(const char* device, uint8_t, BusFault& fault) { return unavailable(fault, "I2C", device); }
int32_t write(int32_t, const Message*, uint32_t) { return busError::notAvailable; }
void close(int32_t) {}
} // namespace i2c::native

namespace spi::native {
int32_t open(const Options& options, BusFault& fault) { return unavailable(fault, "SPI", options.device); }
int32_t write(int32_t, bool, const uint8_t*, uint32_t, Pace) { return busError::notAvailable; }
int32_t resetPulse(int32_t, uint32_t) { return busError::notAvailable; }
void close(int32_t) {}
} // namespace spi::native

namespace gpio::native {
int32_t open(const char* chip, const uint32_t*, uint32_t, uint64_t, BusFault& fault) {
    return unavailable(fault, "GPIO", chip);
}
int32_t set(int32_t, uint64_t, uint64_t) { return busError::notAvailable; }
void close(int32_t) {}
} // namespace gpio::native

} // namespace tessaranth::platform
