// SPDX-License-Identifier: GPL-2.0-or-later
// A display's device on a bus, kept usable across failures. The first failure (the device
// missing at start, the bus vanishing mid-run, nothing answering, a short transfer) is reported
// once, in one message box that names the device and what to check; later writes are dropped
// quietly; the device is opened again at most once per retry interval, and when it answers
// again that is reported once too and the next write says `resumed`, so that the driver above
// sends the display its whole state again (it may have lost power).
// Nothing here allocates after construction: a frame's writes cost no heap.
#pragma once

#include "platform/BusFault.h"

#include <chrono>
#include <cstdint>

namespace tessaranth::platform {

class BusDevice {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration defaultRetryInterval = std::chrono::seconds(1);

    // What became of a write.
    enum class Delivery : uint8_t {
        sent,     // it went out
        dropped,  // the device is down: nothing went out
        resumed,  // it went out on a device that had been down: send the whole state again
    };

    virtual ~BusDevice() = default;
    BusDevice(const BusDevice&) = delete;
    BusDevice& operator=(const BusDevice&) = delete;

    // Opens the device now (the first try); false when it is down.
    bool open();
    void close();
    bool isOpen() const { return handle_ >= 0; }
    // The fault that took the device down; empty while it works.
    const BusFault& fault() const { return fault_; }
    // Who the messages name, e.g. "the display at 0x3C on /dev/i2c-1".
    const char* name() const { return name_; }

protected:
    explicit BusDevice(Clock::duration retryInterval) : retryInterval_(retryInterval) {}
    void setName(const char* format, ...)
#if defined(__GNUC__) && !defined(_WIN32)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The handle to write through: the open device, or the device opened again when it is down
    // and a try is due; -1 when there is none.
    int32_t reach();
    // Settles a write through reach()'s handle by its error number: sent or resumed, or dropped,
    // the device closed and the failure (on device, at address when >= 0) reported if it is the
    // first.
    Delivery settle(int32_t error, const char* device, int32_t address);
    // Closes the device after the derived class has gone: call from its destructor.
    void release() { close(); }

private:
    virtual int32_t openDevice(BusFault& fault) = 0;
    virtual void closeDevice(int32_t handle) = 0;
    void goDown(const BusFault& fault);

    Clock::duration retryInterval_;
    Clock::time_point lastTry_{};
    int32_t handle_ = -1;
    bool tried_ = false;
    bool down_ = false;
    BusFault fault_;
    char name_[160] = {};
};

} // namespace tessaranth::platform
