// SPDX-License-Identifier: GPL-2.0-or-later
// The transport beneath the serial display drivers: commands and display data staged in the
// order they are given, sent as the bus wants them at flush(). What went out is counted in
// wire bytes, so that the driver (and a benchmark) can weigh a window against the bytes between
// two changes.
#pragma once

#include "platform/BusDevice.h"

#include <cstdint>
#include <span>
#include <utility>

namespace tessaranth {

class SerialLink {
public:
    virtual ~SerialLink() = default;

    // The device; false when it cannot be reached now (it is tried again at later writes).
    virtual bool open() = 0;
    virtual void close() = 0;
    // Command bytes (with their parameters, on a chip that takes them as commands).
    virtual void command(std::span<const uint8_t> bytes) = 0;
    // Display data, or the parameters of a chip that takes them as data.
    virtual void data(std::span<const uint8_t> bytes) = 0;
    enum class Outcome : uint8_t {
        sent,
        dropped,  // some went nowhere: the device is down
        resumed,  // the device had been down and answers again: it may have lost power, so the
                  // driver sends its whole state again
    };
    // Sends what is staged.
    virtual Outcome flush() = 0;
    // Wire bytes one more window costs beside its command bytes (an I2C message's control and
    // address bytes, twice: one message for the window, one for the data).
    virtual int windowOverhead() const = 0;

    // Bytes that went on the wire since the link was made.
    uint64_t wireBytes() const { return wireBytes_; }

protected:
    void countWireBytes(uint64_t bytes) { wireBytes_ += bytes; }
    // Notes what became of one write since the last flush.
    void note(platform::BusDevice::Delivery delivery) {
        if (delivery == platform::BusDevice::Delivery::dropped)
            outcome_ = Outcome::dropped;
        else if (delivery == platform::BusDevice::Delivery::resumed && outcome_ == Outcome::sent)
            outcome_ = Outcome::resumed;
    }
    Outcome takeOutcome() { return std::exchange(outcome_, Outcome::sent); }

private:
    uint64_t wireBytes_ = 0;
    Outcome outcome_ = Outcome::sent;
};

} // namespace tessaranth
