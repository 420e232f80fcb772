// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/BusEmulator.h"

#include <algorithm>
#include <string>

namespace tessaranth::emu {

void BusEmulator::i2cMessage(uint8_t address7, std::span<const uint8_t> bytesAfterAddress) {
    problems_.report("I2C message of " + std::to_string(bytesAfterAddress.size()) + " bytes to address " + hexText(address7) +
                     ": the " + chipName() + " has no I2C interface");
}

void BusEmulator::setSpiClockHz(uint32_t hz) {
    spiClockHz_ = std::max<uint32_t>(hz, 1);
    if (hz > maxSpiClockHz())
        problems_.report("SPI clock " + std::to_string(hz) + " Hz is beyond the " + chipName() + "'s " +
                         std::to_string(maxSpiClockHz()) + " Hz");
}

void fillPowerOnRam(std::span<uint8_t> ram, PowerOnRam content) {
    uint32_t state = 0x2545F491u;  // xorshift32: arbitrary, but the same every run
    for (uint8_t& byte : ram) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = content == PowerOnRam::Arbitrary ? static_cast<uint8_t>(state >> 24) : 0;
    }
}

} // namespace tessaranth::emu
