// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/PosixPort.h"

#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

#if defined(__i386__) || defined(__x86_64__)
#include <sys/io.h>
#endif

namespace tessaranth::platform::posix {

namespace {

constexpr uint16_t registerCount = 3;
constexpr uint16_t dataOffset = 0;
constexpr uint16_t statusOffset = 1;
constexpr uint16_t controlOffset = 2;

#if defined(__i386__) || defined(__x86_64__)
bool machineGrant(uint16_t base) { return ioperm(base, registerCount, 1) == 0; }
void machineOut(uint16_t port, uint8_t value) { outb(value, port); }
uint8_t machineIn(uint16_t port) { return inb(port); }
#else
bool machineGrant(uint16_t) { return false; }
void machineOut(uint16_t, uint8_t) {}
uint8_t machineIn(uint16_t) { return 0; }
#endif

void warnUnreachable(uint16_t base, const std::string& device, const std::string& failure) {
    char text[640];
    if (device.empty())
        std::snprintf(text, sizeof text,
                      "The parallel port at 0x%X cannot be reached: no /dev/parport device belongs to this address "
                      "and direct port access is not permitted (it needs an x86 machine and root). The display "
                      "stays dark until this is fixed.",
                      static_cast<unsigned>(base));
    else
        std::snprintf(text, sizeof text,
                      "The parallel port at 0x%X cannot be reached through %s (%s), and direct port access is not "
                      "permitted. Load the parport_pc and ppdev modules (modprobe parport_pc ppdev) and give your "
                      "user read and write access to %s (for example through the lp group). The display stays "
                      "dark until this is fixed.",
                      static_cast<unsigned>(base), device.c_str(), failure.c_str(), device.c_str());
    messageBox(text, "Tessaranth", mbIconWarning);
}

} // namespace

DirectPortIo machineDirectPortIo() { return {machineGrant, machineOut, machineIn}; }

int deviceNumber(uint16_t base) {
    static constexpr uint16_t bases[] = {0x378, 0x278, 0x3BC, 0x2BC};
    for (int number = 0; number < 4; ++number)
        if (bases[number] == base) return number;
    return -1;
}

PosixPort::PosixPort(std::string devicePrefix, DirectPortIo direct)
    : devicePrefix_(std::move(devicePrefix)), direct_(direct) {}

PosixPort::~PosixPort() { release(); }

void PosixPort::release() {
    if (fd_ >= 0) {
        ioctl(fd_, PPRELEASE);
        ::close(fd_);
    }
    fd_ = -1;
    route_ = Route::unopened;
}

bool PosixPort::openDevice(const std::string& device, std::string& failure) {
    fd_ = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ >= 0 && ioctl(fd_, PPCLAIM) == 0) return true;
    failure = std::strerror(errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return false;
}

void PosixPort::reach(uint16_t base) {
    if (route_ != Route::unopened && base == base_) return;
    release();
    base_ = base;
    const int number = deviceNumber(base);
    const std::string device = number < 0 ? std::string() : devicePrefix_ + std::to_string(number);
    std::string failure;
    if (!device.empty() && openDevice(device, failure)) {
        route_ = Route::ppdev;
    } else if (direct_.grant(base)) {
        route_ = Route::direct;
    } else {
        route_ = Route::nowhere;
        warnUnreachable(base, device, failure);
    }
}

void PosixPort::write(uint16_t port, uint16_t value) {
    reach(static_cast<uint16_t>(port & ~3u));
    unsigned char byte = static_cast<unsigned char>(value & 0xFF);
    const uint16_t offset = port & 3u;
    if (route_ == Route::direct) {
        direct_.out(port, byte);
    } else if (route_ == Route::ppdev) {
        if (offset == dataOffset) ioctl(fd_, PPWDATA, &byte);
        if (offset == controlOffset) ioctl(fd_, PPWCONTROL, &byte);
    }
}

uint16_t PosixPort::read(uint16_t port) {
    reach(static_cast<uint16_t>(port & ~3u));
    unsigned char byte = 0;
    const uint16_t offset = port & 3u;
    if (route_ == Route::direct) {
        byte = direct_.in(port);
    } else if (route_ == Route::ppdev) {
        if (offset == dataOffset) ioctl(fd_, PPRDATA, &byte);
        if (offset == statusOffset) ioctl(fd_, PPRSTATUS, &byte);
        if (offset == controlOffset) ioctl(fd_, PPRCONTROL, &byte);
    }
    return byte;
}

} // namespace tessaranth::platform::posix

namespace tessaranth::platform::native {

namespace {

posix::PosixPort& machinePort() {
    static posix::PosixPort port("/dev/parport", posix::machineDirectPortIo());
    return port;
}

} // namespace

void writePort(uint16_t port, uint16_t value) { machinePort().write(port, value); }
uint16_t readPort(uint16_t port) { return machinePort().read(port); }

} // namespace tessaranth::platform::native
