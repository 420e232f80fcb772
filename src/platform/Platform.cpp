// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Platform.h"

#include <cstddef>
#include <cstring>

namespace tessaranth::platform {

namespace {

TessaranthHostServices installed{};

} // namespace

void setHostServices(const TessaranthHostServices* services) {
    installed = TessaranthHostServices{};
    if (!services) return;
    if (services->version == TESSARANTH_HOST_SERVICES_VERSION)
        installed = *services;
    else if (services->version == TESSARANTH_HOST_SERVICES_VERSION_1)
        std::memcpy(&installed, services, offsetof(TessaranthHostServices, i2cOpen));
}

const TessaranthHostServices& hostServices() { return installed; }

int32_t messageBox(const char* text, const char* caption, uint32_t style) {
    if (installed.messageBox) return installed.messageBox(installed.context, text, caption, style);
    return native::messageBox(text, caption, style);
}

intptr_t sendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return native::sendMessage(window, message, wParam, lParam);
}

int32_t getWindowText(void* window, char* buffer, int32_t size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    const int32_t length = native::getWindowText(window, buffer, size);
    buffer[size - 1] = '\0';
    return length < 0 ? 0 : (length >= size ? size - 1 : length);
}

void sleepMillis(uint32_t milliseconds) {
    if (installed.sleepMillis) return installed.sleepMillis(installed.context, milliseconds);
    native::sleepMillis(milliseconds);
}

void writePort(uint16_t port, uint16_t value) {
    if (installed.writePort) return installed.writePort(installed.context, port, value);
    native::writePort(port, value);
}

uint16_t readPort(uint16_t port) {
    if (installed.readPort) return installed.readPort(installed.context, port);
    return native::readPort(port);
}

} // namespace tessaranth::platform
