// SPDX-License-Identifier: GPL-2.0-or-later
// The bus of the T6963C, the SED133x and the Noritake VFD: an active-low chip select, a line
// that tells commands from data, and active-low write and read strobes. A write is latched when
// the cycle ends (chip select or write strobe rising); a read starts when both go low.
#pragma once

#include "emu/ParallelPort.h"

#include <cstdint>
#include <optional>

namespace tessaranth::emu {

// The chip behind the bus. On every chip here the command/data line is high for a command.
class StrobedChip {
public:
    virtual ~StrobedChip() = default;
    virtual void writeCommand(uint8_t command) = 0;
    virtual void writeData(uint8_t byte) = 0;
    // Answers a read cycle, `lineHigh` the level of the command/data line; the chip may advance
    // its address as it does.
    virtual std::optional<uint8_t> busRead(bool lineHigh) = 0;
};

class StrobedBus : public BusDevice {
public:
    // The order of the signals in a wiring.
    enum Signal : size_t { ChipSelect = 0, CommandLine = 1, Write = 2, Read = 3 };

    explicit StrobedBus(StrobedChip& chip) : chip_(chip) {}

    void linesChanged(const BusLines& lines) override;
    std::optional<uint8_t> drivenData() const override { return driven_; }

private:
    StrobedChip& chip_;
    bool writing_ = false;
    bool reading_ = false;
    bool lineHigh_ = false;
    std::optional<uint8_t> driven_;
};

} // namespace tessaranth::emu
