// SPDX-License-Identifier: GPL-2.0-or-later
// A PC parallel port with a display cable on it: the data, status and control registers,
// the levels of the four control pins, and the chip behind them.
#pragma once

#include "emu/ProblemLog.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessaranth::emu {

// The four control pins a cable can use; None leaves a signal unconnected (it floats high).
enum class PortPin : uint8_t { None = 0, Strobe = 1, AutoFeed = 14, Init = 16, SelectIn = 17 };

// Which pin carries each of a controller's four signals, in the controller's own order.
using Wiring = std::array<PortPin, 4>;

// What the chip sees on its pins.
struct BusLines {
    uint8_t data = 0;
    std::array<bool, 4> high{true, true, true, true};  // level of each signal, in wiring order
};

// A chip on the cable.
class BusDevice {
public:
    virtual ~BusDevice() = default;
    // Called after every write to the control register, with the levels the chip now sees.
    virtual void linesChanged(const BusLines& lines) = 0;
    // The byte the chip drives onto the data lines while it is being read, if it is.
    virtual std::optional<uint8_t> drivenData() const { return std::nullopt; }
};

class ParallelPort {
public:
    ParallelPort(uint16_t base, Wiring wiring, BusDevice& device, ProblemLog& problems);

    void write(uint16_t port, uint16_t value);
    uint16_t read(uint16_t port);

    // Levels of pins 1, 14, 16 and 17 in bits 0..3 (1 = high).
    uint8_t pinLevels() const;
    uint8_t dataRegister() const { return data_; }
    uint8_t controlRegister() const { return control_; }
    uint16_t base() const { return base_; }

    // Status register with nothing driving its inputs: pins 10, 11, 12, 13, 15 float high and
    // the port inverts BUSY (pin 11, bit 7).
    static constexpr uint8_t kIdleStatus = 0x78;

private:
    BusLines lines() const;
    bool pinHigh(PortPin pin) const;

    uint16_t base_;
    Wiring wiring_;
    BusDevice& device_;
    ProblemLog& problems_;
    uint8_t data_ = 0;
    uint8_t control_ = 0;
};

// The pin that a wire choice of the settings (0..3) names; anything else is no pin.
PortPin pinOfWireChoice(uint8_t choice);

} // namespace tessaranth::emu
