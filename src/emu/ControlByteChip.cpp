// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ControlByteChip.h"

#include <algorithm>
#include <string>

namespace tessaranth::emu {

namespace {
constexpr uint8_t kContinuation = 0x80;  // Co: one byte follows, then another control byte
constexpr uint8_t kDataFollows = 0x40;   // D/C#
} // namespace

void ControlByteChip::i2cMessage(uint8_t address7, std::span<const uint8_t> bytesAfterAddress) {
    if (address7 != address7_) {
        problems_.report("I2C message to " + hexText(address7) + " ignored: the " + chipName() + " answers at " + hexText(address7_));
        return;
    }
    size_t at = 0;
    while (at < bytesAfterAddress.size()) {
        const uint8_t control = bytesAfterAddress[at++];
        const bool isData = control & kDataFollows;
        const size_t end = control & kContinuation ? std::min(at + 1, bytesAfterAddress.size()) : bytesAfterAddress.size();
        for (; at < end; ++at) isData ? data(bytesAfterAddress[at]) : command(bytesAfterAddress[at]);
    }
}

void ControlByteChip::spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t) {
    for (uint8_t byte : bytes) dcHigh ? data(byte) : command(byte);
}

} // namespace tessaranth::emu
