// SPDX-License-Identifier: GPL-2.0-or-later
// The parallel port on Linux: the ppdev device /dev/parportN that belongs to the base address,
// else direct port access where the machine and the process allow it, else nothing (after one
// warning). The device and the direct-access primitives are passed in so that the choice can
// be exercised without a port.
#pragma once

#include <cstdint>
#include <string>

namespace tessaranth::platform::posix {

struct DirectPortIo {
    bool (*grant)(uint16_t base);  // ask for access to the three registers at base
    void (*out)(uint16_t port, uint8_t value);
    uint8_t (*in)(uint16_t port);
};

// ioperm/outb/inb on x86; elsewhere access is never granted.
DirectPortIo machineDirectPortIo();

// The ppdev device number of a base address, or -1 when none belongs to it.
int deviceNumber(uint16_t base);

class PosixPort {
public:
    enum class Route { unopened, ppdev, direct, nowhere };

    PosixPort(std::string devicePrefix, DirectPortIo direct);
    ~PosixPort();
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;

    void write(uint16_t port, uint16_t value);
    uint16_t read(uint16_t port);
    Route route() const { return route_; }

private:
    // Opens the way to the registers at base, on the first access and when the base changes.
    void reach(uint16_t base);
    bool openDevice(const std::string& device, std::string& failure);
    void release();

    std::string devicePrefix_;
    DirectPortIo direct_;
    Route route_ = Route::unopened;
    uint16_t base_ = 0;
    int fd_ = -1;
};

} // namespace tessaranth::platform::posix
