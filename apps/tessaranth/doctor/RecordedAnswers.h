// SPDX-License-Identifier: GPL-2.0-or-later
// What a tree of the doctor's tests says the kernel would answer about its buses, since files
// alone cannot answer ioctls: its file `bus.answers`, a line for each answer,
//   i2c DEVICE ADDRESS answers|silent|held     (an address not listed is silent)
//   gpiochip NODE LINES LABEL                   (a node not listed is no GPIO chip)
//   gpioline NODE OFFSET CONSUMER...            (a line listed is in use; the rest are free)
// with the addresses in hex (0x3c) and the paths as the machine has them. Lines it cannot read
// are left out.
#pragma once

#include "platform/posix/BusProbes.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace tessaranth::host {

class RecordedAnswers {
public:
    RecordedAnswers() = default;
    explicit RecordedAnswers(const std::string& text);

    platform::posix::I2cProbe i2c(const std::string& device, uint8_t address) const;
    std::optional<platform::posix::GpioChipInfo> gpioChip(const std::string& node) const;
    std::optional<platform::posix::GpioLineInfo> gpioLine(const std::string& node, uint32_t offset) const;

private:
    void read(const std::string& line);

    std::map<std::pair<std::string, uint8_t>, platform::posix::I2cAnswer> i2c_;
    std::map<std::string, platform::posix::GpioChipInfo> chips_;
    std::map<std::pair<std::string, uint32_t>, std::string> usedLines_;
};

} // namespace tessaranth::host
