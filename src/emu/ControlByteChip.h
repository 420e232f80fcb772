// SPDX-License-Identifier: GPL-2.0-or-later
// The bus of the SSD1306 family and the SH1106: on I2C a control byte (bit 7 Co, bit 6 D/C#;
// the other bits are not decoded) tells whether what follows is commands or display data, and
// with Co set covers one byte only, after which another control byte follows; on 4-wire SPI
// the D/C line does. Command parameters travel as commands.
#pragma once

#include "emu/BusEmulator.h"

#include <cstdint>
#include <span>

namespace tessaranth::emu {

class ControlByteChip : public BusEmulator {
public:
    // Bit 0 of the address is the SA0 pin (the D/C# pin in I2C mode).
    static constexpr uint8_t kAddressSa0Low = 0x3C;
    static constexpr uint8_t kAddressSa0High = 0x3D;

    void i2cMessage(uint8_t address7, std::span<const uint8_t> bytesAfterAddress) override;
    void spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t timeMicros) override;

    uint8_t i2cAddress() const { return address7_; }

protected:
    explicit ControlByteChip(uint8_t address7) : address7_(address7) {}

    virtual void command(uint8_t byte) = 0;
    virtual void data(uint8_t byte) = 0;

private:
    uint8_t address7_;
};

} // namespace tessaranth::emu
