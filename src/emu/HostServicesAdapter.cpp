// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/HostServicesAdapter.h"

#include <cerrno>
#include <cstdio>

namespace tessaranth::emu {

namespace {

HostServicesAdapter& self(void* context) { return *static_cast<HostServicesAdapter*>(context); }

// The open's answer: handle 0, or -1 with the reason in the caller's buffer.
int32_t opened(bool done, const std::string& reason, char* fault, uint32_t faultSize) {
    if (done) return 0;
    if (fault && faultSize > 0) std::snprintf(fault, faultSize, "%s", reason.c_str());
    return -1;
}

int32_t i2cWrite(VirtualDisplay& display, const TessaranthI2cMessage* messages, uint32_t count) {
    if (!messages && count > 0) return EINVAL;
    for (uint32_t i = 0; i < count; ++i) {
        if (!messages[i].data && messages[i].length > 0) return EINVAL;
        display.i2cMessage({messages[i].data, messages[i].length});
    }
    return 0;
}

void addBuses(TessaranthHostServices& services) {
    services.i2cOpen = [](void* c, const char*, uint8_t address7, char* fault, uint32_t faultSize) {
        std::string reason;
        return opened(self(c).display().i2cOpen(address7, reason), reason, fault, faultSize);
    };
    services.i2cWrite = [](void* c, int32_t, const TessaranthI2cMessage* messages, uint32_t count) {
        return i2cWrite(self(c).display(), messages, count);
    };
    services.i2cClose = [](void*, int32_t) {};
    services.spiOpen = [](void* c, const char*, uint8_t, uint32_t speedHz, char* fault, uint32_t faultSize) {
        std::string reason;
        return opened(self(c).display().spiOpen(speedHz, reason), reason, fault, faultSize);
    };
    services.spiWrite = [](void* c, int32_t, int32_t dc, const uint8_t* data, uint32_t length) -> int32_t {
        if (!data && length > 0) return EINVAL;
        self(c).display().spiTransfer(dc != 0, {data, length});
        return 0;
    };
    services.spiResetPulse = [](void* c, int32_t, uint32_t microseconds) -> int32_t {
        self(c).display().spiResetPulse(microseconds);
        return 0;
    };
    services.spiClose = [](void*, int32_t) {};
    services.gpioOpen = [](void* c, const char*, const uint32_t* lines, uint32_t count, uint64_t initial, char* fault,
                           uint32_t faultSize) {
        std::string reason;
        const std::span<const uint32_t> requested(lines, lines ? count : 0);
        return opened(self(c).display().gpioOpen(requested, initial, reason), reason, fault, faultSize);
    };
    services.gpioSet = [](void* c, int32_t, uint64_t bits, uint64_t mask) -> int32_t {
        self(c).display().gpioSet(bits, mask);
        return 0;
    };
    services.gpioClose = [](void*, int32_t) {};
}

} // namespace

TessaranthHostServices HostServicesAdapter::services() {
    TessaranthHostServices services{};
    services.version = TESSARANTH_HOST_SERVICES_VERSION;
    services.context = this;
    services.writePort = [](void* c, uint16_t port, uint16_t value) { self(c).display().writePort(port, value); };
    services.readPort = [](void* c, uint16_t port) { return self(c).display().readPort(port); };
    services.usbOpen = [](void* c) { return self(c).display().usbOpen(); };
    services.usbSetBaudRate = [](void* c, uint32_t baud) { return self(c).display().usbSetBaudRate(baud); };
    services.usbWrite = [](void* c, const uint8_t* data, uint32_t length) { return self(c).display().usbWrite(data, length); };
    services.usbClose = [](void* c) { self(c).display().usbClose(); };
    addBuses(services);
    if (messageBox)
        services.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) {
            return self(c).messageBox(text ? text : "", caption ? caption : "", style);
        };
    if (sleep) services.sleepMillis = [](void* c, uint32_t milliseconds) { self(c).sleep(milliseconds); };
    return services;
}

} // namespace tessaranth::emu
