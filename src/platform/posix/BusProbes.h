// SPDX-License-Identifier: GPL-2.0-or-later
// What the kernel says about a display's bus without driving the display: whether a device
// answers at an I2C address, and what a GPIO chip and its lines are. Nothing here changes what
// the display shows: the I2C probe is a write of no bytes (the address and a stop), as
// i2cdetect's quick write; the GPIO questions request no line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessaranth::platform::posix {

enum class I2cAnswer {
    answers,  // the address was acknowledged
    silent,   // no device acknowledged it
    held,     // a kernel driver has claimed the address
    unknown,  // the adapter could not be asked (the reason says why)
};

struct I2cProbe {
    I2cAnswer answer = I2cAnswer::unknown;
    std::string reason;  // unknown: the system's words
};

I2cProbe probeI2c(const char* node, uint8_t address7);

struct GpioChipInfo {
    std::string label;  // "pinctrl-bcm2711"
    uint32_t lines = 0;
};

struct GpioLineInfo {
    bool used = false;
    std::string consumer;  // who holds it; may be empty even when it is used
};

// None when the node cannot be opened or is no GPIO chip.
std::optional<GpioChipInfo> gpioChipInfo(const char* node);
// None when the node cannot be opened or has no such line.
std::optional<GpioLineInfo> gpioLineInfo(const char* node, uint32_t offset);

} // namespace tessaranth::platform::posix
