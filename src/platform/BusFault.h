// SPDX-License-Identifier: GPL-2.0-or-later
// What went wrong on a bus, as one line for the user: the device, the address or line, and what
// to check ("nothing answers at 0x3C on /dev/i2c-1: check the address and the wiring"). The text
// lives in the record itself, so filling it never allocates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaranth::platform {

// The error numbers that the bus calls return, host or device: Linux's errno values, which the
// host interface uses on every platform.
namespace busError {
constexpr int32_t noDevice = 19;       // ENODEV: the device went away
constexpr int32_t noAddress = 6;       // ENXIO: nothing answered the address
constexpr int32_t remoteIo = 121;      // EREMOTEIO: the address or a byte was not acknowledged
constexpr int32_t shortTransfer = 5;   // EIO: fewer bytes or messages went out than were asked for
constexpr int32_t notAvailable = 95;   // EOPNOTSUPP: the bus does not exist on this platform
} // namespace busError

class BusFault {
public:
    static constexpr size_t capacity = 384;

    void set(const char* format, ...)
#if defined(__GNUC__) && !defined(_WIN32)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void clear() { text_[0] = '\0'; }
    bool empty() const { return text_[0] == '\0'; }
    const char* text() const { return text_; }
    // Room for a host to write its own text into (capacity bytes); cut and terminated after.
    char* buffer() { return text_; }
    void terminate() { text_[capacity - 1] = '\0'; }

private:
    char text_[capacity] = {};
};

// What a host's open returned, its fault text (written into fault.buffer()) made safe: cut,
// terminated, and never empty for a failure. The handle, or -1.
int32_t hostOpenResult(int32_t handle, BusFault& fault, const char* device);

// The fault of a failed write: nothing answering at an I2C address, a short transfer, a device
// gone, or any other error number with its text.
void describeWriteFailure(BusFault& fault, const char* device, int32_t address, int32_t error);

} // namespace tessaranth::platform
