// SPDX-License-Identifier: GPL-2.0-or-later
#include "HostRecorder.h"

#include <algorithm>

namespace tessaranth::test {

namespace {

HostRecorder& self(void* context) { return *static_cast<HostRecorder*>(context); }

} // namespace

HostRecorder::HostRecorder(bool withUsb) {
    services_.version = TESSARANTH_HOST_SERVICES_VERSION;
    services_.context = this;
    services_.writePort = [](void* c, uint16_t port, uint16_t value) {
        self(c).accesses.push_back({true, port, value});
    };
    services_.readPort = [](void* c, uint16_t port) -> uint16_t {
        const uint16_t value = self(c).answerRead(port);
        self(c).accesses.push_back({false, port, value});
        return value;
    };
    services_.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) -> int32_t {
        self(c).boxes.push_back({text ? text : "", caption ? caption : "", style});
        return 1;
    };
    services_.sleepMillis = [](void* c, uint32_t ms) { self(c).sleeps.push_back(ms); };
    if (withUsb) {
        services_.usbOpen = [](void* c) -> int32_t {
            self(c).usbCalls.push_back("open");
            return self(c).usbOpenResult;
        };
        services_.usbSetBaudRate = [](void* c, uint32_t baud) -> int32_t {
            self(c).usbCalls.push_back("baud " + std::to_string(baud));
            return 0;
        };
        services_.usbWrite = [](void* c, const uint8_t* data, uint32_t length) -> int32_t {
            self(c).usbCalls.push_back("write " + std::to_string(length));
            self(c).usbBytes.insert(self(c).usbBytes.end(), data, data + length);
            return 0;
        };
        services_.usbClose = [](void* c) { self(c).usbCalls.push_back("close"); };
    }
    install();
}

HostRecorder::~HostRecorder() { tessaranthSetHostServices(nullptr); }

void HostRecorder::install() { tessaranthSetHostServices(&services_); }

void HostRecorder::clear() {
    accesses.clear();
    boxes.clear();
    sleeps.clear();
    usbBytes.clear();
    usbCalls.clear();
}

std::vector<PortAccess> HostRecorder::writes() const {
    std::vector<PortAccess> result;
    std::copy_if(accesses.begin(), accesses.end(), std::back_inserter(result), [](const PortAccess& a) { return a.write; });
    return result;
}

} // namespace tessaranth::test
