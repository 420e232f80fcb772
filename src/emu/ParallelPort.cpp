// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ParallelPort.h"

namespace tessaranth::emu {

namespace {

// The port hardware inverts pins 1, 14 and 17 of the control register; pin 16 follows its bit.
constexpr uint8_t kInvertedControlBits = 0x0B;
// Control bit 5 turns a bidirectional port's data lines around to input.
constexpr uint8_t kDataInputBit = 0x20;

enum Register : uint16_t { Data = 0, Status = 1, Control = 2 };

} // namespace

PortPin pinOfWireChoice(uint8_t choice) {
    switch (choice) {
    case 0: return PortPin::Strobe;
    case 1: return PortPin::AutoFeed;
    case 2: return PortPin::Init;
    case 3: return PortPin::SelectIn;
    default: return PortPin::None;
    }
}

ParallelPort::ParallelPort(uint16_t base, Wiring wiring, BusDevice& device, ProblemLog& problems)
    : base_(base), wiring_(wiring), device_(device), problems_(problems) {}

uint8_t ParallelPort::pinLevels() const { return static_cast<uint8_t>((control_ ^ kInvertedControlBits) & 0x0F); }

bool ParallelPort::pinHigh(PortPin pin) const {
    switch (pin) {
    case PortPin::Strobe: return pinLevels() & 0x01;
    case PortPin::AutoFeed: return pinLevels() & 0x02;
    case PortPin::Init: return pinLevels() & 0x04;
    case PortPin::SelectIn: return pinLevels() & 0x08;
    case PortPin::None: break;
    }
    return true;
}

BusLines ParallelPort::lines() const {
    BusLines result;
    result.data = data_;
    for (size_t signal = 0; signal < wiring_.size(); ++signal) result.high[signal] = pinHigh(wiring_[signal]);
    return result;
}

void ParallelPort::write(uint16_t port, uint16_t value) {
    const uint8_t byte = static_cast<uint8_t>(value);
    switch (static_cast<uint16_t>(port - base_)) {
    case Data: data_ = byte; return;
    case Control:
        control_ = byte;
        device_.linesChanged(lines());
        return;
    case Status: problems_.report("write " + hexText(byte) + " to the read-only status register " + hexText(port)); return;
    default: problems_.report("write " + hexText(byte) + " to port " + hexText(port) + ", where no display is attached");
    }
}

uint16_t ParallelPort::read(uint16_t port) {
    switch (static_cast<uint16_t>(port - base_)) {
    case Data: {
        const std::optional<uint8_t> driven = device_.drivenData();
        return (control_ & kDataInputBit) && driven ? *driven : data_;
    }
    case Status: return kIdleStatus;
    case Control: return control_;
    default:
        problems_.report("read of port " + hexText(port) + ", where no display is attached");
        return 0xFF;
    }
}

} // namespace tessaranth::emu
