// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/PortTrace.h"

#include <algorithm>

namespace tessaranth::host {

namespace {

bool hasI2c(const TessaranthHostServices& s) { return s.i2cOpen && s.i2cWrite && s.i2cClose; }
bool hasSpi(const TessaranthHostServices& s) { return s.spiOpen && s.spiWrite && s.spiResetPulse && s.spiClose; }
bool hasGpio(const TessaranthHostServices& s) { return s.gpioOpen && s.gpioSet && s.gpioClose; }

// Services of version 1 end at usbClose: their bus members are none.
TessaranthHostServices busesOf(const TessaranthHostServices& inner) {
    TessaranthHostServices s = inner;
    if (inner.version < TESSARANTH_HOST_SERVICES_VERSION) {
        s.i2cOpen = nullptr;
        s.spiOpen = nullptr;
        s.gpioOpen = nullptr;
    }
    return s;
}

} // namespace

PortTrace::PortTrace(const std::string& path, const TessaranthHostServices& inner)
    : file_(std::fopen(path.c_str(), "w")), inner_(busesOf(inner)), services_(inner_) {
    services_.version = TESSARANTH_HOST_SERVICES_VERSION;
    services_.context = this;
    passOnPortAndUsb();
    traceBuses();
    traceGpio();
}

PortTrace::~PortTrace() {
    if (file_) std::fclose(file_);
}

void PortTrace::writeBytes(const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; data && i < length; ++i) std::fprintf(file_, " %02X", data[i]);
    std::fputc('\n', file_);
}

void PortTrace::passOnPortAndUsb() {
    services_.writePort = [](void* context, uint16_t port, uint16_t value) {
        PortTrace& t = self(context);
        std::fprintf(t.file_, "W %04X %02X\n", port, value);
        if (t.inner_.writePort) t.inner_.writePort(t.inner_.context, port, value);
    };
    services_.readPort = [](void* context, uint16_t port) -> uint16_t {
        PortTrace& t = self(context);
        std::fprintf(t.file_, "R %04X\n", port);
        return t.inner_.readPort ? t.inner_.readPort(t.inner_.context, port) : 0;
    };
    if (inner_.usbWrite) {
        services_.usbWrite = [](void* context, const uint8_t* data, uint32_t length) -> int32_t {
            PortTrace& t = self(context);
            std::fputc('U', t.file_);
            t.writeBytes(data, length);
            return t.inner_.usbWrite(t.inner_.context, data, length);
        };
    }
    // The other services go straight to the inner ones, with their own context.
    if (inner_.messageBox)
        services_.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) {
            return self(c).inner_.messageBox(self(c).inner_.context, text, caption, style);
        };
    if (inner_.sleepMillis)
        services_.sleepMillis = [](void* c, uint32_t ms) { self(c).inner_.sleepMillis(self(c).inner_.context, ms); };
    if (inner_.usbOpen) services_.usbOpen = [](void* c) { return self(c).inner_.usbOpen(self(c).inner_.context); };
    if (inner_.usbSetBaudRate)
        services_.usbSetBaudRate = [](void* c, uint32_t baud) {
            return self(c).inner_.usbSetBaudRate(self(c).inner_.context, baud);
        };
    if (inner_.usbClose) services_.usbClose = [](void* c) { self(c).inner_.usbClose(self(c).inner_.context); };
}

void PortTrace::traceBuses() {
    if (!hasI2c(inner_)) inner_.i2cOpen = nullptr;
    if (!hasSpi(inner_)) inner_.spiOpen = nullptr;
    services_.i2cOpen = [](void* c, const char* device, uint8_t address7, char* fault, uint32_t size) -> int32_t {
        PortTrace& t = self(c);
        const int32_t handle =
            t.inner_.i2cOpen ? t.inner_.i2cOpen(t.inner_.context, device, address7, fault, size) : t.ownHandles_++;
        if (handle >= 0) t.i2cAddresses_[handle] = address7;
        return handle;
    };
    services_.i2cWrite = [](void* c, int32_t handle, const TessaranthI2cMessage* messages, uint32_t count) -> int32_t {
        PortTrace& t = self(c);
        const auto address = t.i2cAddresses_.find(handle);
        for (uint32_t i = 0; messages && i < count; ++i) {
            std::fprintf(t.file_, "I %02X", address == t.i2cAddresses_.end() ? 0u : address->second);
            t.writeBytes(messages[i].data, messages[i].length);
        }
        return t.inner_.i2cOpen ? t.inner_.i2cWrite(t.inner_.context, handle, messages, count) : 0;
    };
    services_.i2cClose = [](void* c, int32_t handle) {
        PortTrace& t = self(c);
        t.i2cAddresses_.erase(handle);
        if (t.inner_.i2cOpen) t.inner_.i2cClose(t.inner_.context, handle);
    };
    services_.spiOpen = [](void* c, const char* device, uint8_t mode, uint32_t hz, char* fault, uint32_t size) -> int32_t {
        PortTrace& t = self(c);
        return t.inner_.spiOpen ? t.inner_.spiOpen(t.inner_.context, device, mode, hz, fault, size) : t.ownHandles_++;
    };
    services_.spiWrite = [](void* c, int32_t handle, int32_t dc, const uint8_t* data, uint32_t length) -> int32_t {
        PortTrace& t = self(c);
        std::fprintf(t.file_, "S %d", dc != 0 ? 1 : 0);
        t.writeBytes(data, length);
        return t.inner_.spiOpen ? t.inner_.spiWrite(t.inner_.context, handle, dc, data, length) : 0;
    };
    services_.spiResetPulse = [](void* c, int32_t handle, uint32_t microseconds) -> int32_t {
        PortTrace& t = self(c);
        std::fprintf(t.file_, "S reset %u\n", static_cast<unsigned>(microseconds));
        return t.inner_.spiOpen ? t.inner_.spiResetPulse(t.inner_.context, handle, microseconds) : 0;
    };
    services_.spiClose = [](void* c, int32_t handle) {
        PortTrace& t = self(c);
        if (t.inner_.spiOpen) t.inner_.spiClose(t.inner_.context, handle);
    };
}

void PortTrace::writeLineChanges(const GpioLines& request, uint64_t levels, uint64_t mask) {
    for (std::size_t i = 0; i < request.lines.size(); ++i)
        if ((mask >> i) & 1)
            std::fprintf(file_, "G %s %u %u\n", request.chip.c_str(), static_cast<unsigned>(request.lines[i]),
                         static_cast<unsigned>((levels >> i) & 1));
}

void PortTrace::traceGpio() {
    if (!hasGpio(inner_)) inner_.gpioOpen = nullptr;
    services_.gpioOpen = [](void* c, const char* chip, const uint32_t* lines, uint32_t count, uint64_t initial,
                            char* fault, uint32_t size) -> int32_t {
        PortTrace& t = self(c);
        const int32_t handle =
            t.inner_.gpioOpen ? t.inner_.gpioOpen(t.inner_.context, chip, lines, count, initial, fault, size) : t.ownHandles_++;
        if (handle < 0 || !lines) return handle;
        // The platform asks for at most 64 lines, one bit each.
        GpioLines request{chip ? chip : "", std::vector<uint32_t>(lines, lines + std::min<uint32_t>(count, 64)), initial};
        t.writeLineChanges(request, initial, ~uint64_t{0});
        t.gpio_[handle] = std::move(request);
        return handle;
    };
    services_.gpioSet = [](void* c, int32_t handle, uint64_t bits, uint64_t mask) -> int32_t {
        PortTrace& t = self(c);
        if (const auto request = t.gpio_.find(handle); request != t.gpio_.end()) {
            const uint64_t levels = (request->second.levels & ~mask) | (bits & mask);
            t.writeLineChanges(request->second, levels, levels ^ request->second.levels);
            request->second.levels = levels;
        }
        return t.inner_.gpioOpen ? t.inner_.gpioSet(t.inner_.context, handle, bits, mask) : 0;
    };
    services_.gpioClose = [](void* c, int32_t handle) {
        PortTrace& t = self(c);
        t.gpio_.erase(handle);
        if (t.inner_.gpioOpen) t.inner_.gpioClose(t.inner_.context, handle);
    };
}

} // namespace tessaranth::host
