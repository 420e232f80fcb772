// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/HostServicesAdapter.h"

namespace tessaranth::emu {

namespace {

HostServicesAdapter& self(void* context) { return *static_cast<HostServicesAdapter*>(context); }

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
    if (messageBox)
        services.messageBox = [](void* c, const char* text, const char* caption, uint32_t style) {
            return self(c).messageBox(text ? text : "", caption ? caption : "", style);
        };
    if (sleep) services.sleepMillis = [](void* c, uint32_t milliseconds) { self(c).sleep(milliseconds); };
    return services;
}

} // namespace tessaranth::emu
