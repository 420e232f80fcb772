// SPDX-License-Identifier: GPL-2.0-or-later
// The transport beneath the parallel-port drivers: the data, status and control registers of a
// parallel port. The PC's LPT port is one; a new bus that can act as these registers is another,
// and the drivers above it stay as they are.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace tessaranth {

class PortRegisters {
public:
    static constexpr uint16_t dataOffset = 0;
    static constexpr uint16_t statusOffset = 1;
    static constexpr uint16_t controlOffset = 2;

    virtual ~PortRegisters() = default;
    // The device behind the registers; false when it cannot be reached now.
    virtual bool open() { return true; }
    virtual void write(uint16_t offset, uint16_t value) = 0;
    virtual uint16_t read(uint16_t offset) = 0;
    // Sends what a transport holds back to join later writes (before a pause, at the frame's end).
    virtual void flush() {}
};

// The LPT port at a base address, through the platform's port access. Called directly, not
// through the interface, on the path of every bus cycle.
class LptRegisters final : public PortRegisters {
public:
    explicit LptRegisters(uint16_t base) : base_(base) {}
    void write(uint16_t offset, uint16_t value) override { writeRegister(offset, value); }
    uint16_t read(uint16_t offset) override { return readRegister(offset); }
    void writeRegister(uint16_t offset, uint16_t value) {
        platform::writePort(static_cast<uint16_t>(base_ + offset), value);
    }
    uint16_t readRegister(uint16_t offset) { return platform::readPort(static_cast<uint16_t>(base_ + offset)); }

private:
    uint16_t base_;
};

} // namespace tessaranth
