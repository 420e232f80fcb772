// SPDX-License-Identifier: GPL-2.0-or-later
// The parallel port as every port driver sees it: the registers of its transport, the four
// control-line masks of the wiring it was given, and the last value written to the control
// register.
#pragma once

#include "controllers/DriverOptions.h"
#include "controllers/PortRegisters.h"

#include <cstdint>
#include <memory>

namespace tessaranth {

class ParallelPort {
public:
    ParallelPort(std::unique_ptr<PortRegisters> registers, const PortWiring& wiring);

    // The control-register bit of a wire choice (0..3); no line for any other value.
    static uint8_t wireBit(int16_t choice);

    uint8_t csMask() const { return csMask_; }
    uint8_t a0Mask() const { return a0Mask_; }
    uint8_t wrMask() const { return wrMask_; }
    uint8_t rdMask() const { return rdMask_; }
    uint8_t controlShadow() const { return controlShadow_; }

    // Sets the shadow without touching the port (the base value a cycle starts from).
    void setControlShadow(uint8_t value) { controlShadow_ = value; }
    // Sets the shadow and writes it to the control register. Inline with toggle, as they are
    // several times in every bus cycle.
    void writeControl(uint8_t value) {
        controlShadow_ = value;
        write(PortRegisters::controlOffset, controlShadow_);
    }
    // Flips the lines in `mask` and writes the shadow to the control register.
    void toggle(uint8_t mask) { writeControl(static_cast<uint8_t>(controlShadow_ ^ mask)); }
    // The caller's 16-bit value goes to the data register as given.
    void writeData(uint16_t value) { write(PortRegisters::dataOffset, value); }
    uint8_t readData() { return static_cast<uint8_t>(read(PortRegisters::dataOffset) & 0xFF); }
    uint8_t readStatus() { return static_cast<uint8_t>(read(PortRegisters::statusOffset) & 0xFF); }

    // A port on another transport than the LPT port: its device opened (a missing one is
    // reported and tried again while the frames go on), and what it holds back sent.
    void open() {
        if (!lpt_) registers_->open();
    }
    void flush() {
        if (!lpt_) registers_->flush();
    }
    // A pause of the bus, after what was written has gone out.
    void sleepMillis(uint32_t milliseconds);

private:
    // The LPT port's registers without a virtual call; any other transport through its interface.
    void write(uint16_t offset, uint16_t value) {
        if (lpt_)
            lpt_->writeRegister(offset, value);
        else
            registers_->write(offset, value);
    }
    uint16_t read(uint16_t offset) { return lpt_ ? lpt_->readRegister(offset) : registers_->read(offset); }

    std::unique_ptr<PortRegisters> registers_;
    LptRegisters* lpt_;
    uint8_t csMask_;
    uint8_t a0Mask_;
    uint8_t wrMask_;
    uint8_t rdMask_;
    uint8_t controlShadow_ = 0;
};

} // namespace tessaranth
