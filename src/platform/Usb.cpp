// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Usb.h"

#include "platform/Platform.h"
#include "platform/UsbLibrary.h"

namespace tessaranth::platform::usb {

namespace {

// Who serves the adapter between load and unload: the host's services, one of the platform's
// device libraries, or nobody.
const TessaranthHostServices* servingHost = nullptr;
UsbLibrary* servingLibrary = nullptr;

bool hostOffersAdapter() {
    const TessaranthHostServices& host = hostServices();
    return host.usbOpen && host.usbSetBaudRate && host.usbWrite && host.usbClose;
}

// The host's services while they serve the adapter; null also when the host took them back
// after load, so that nothing is sent anywhere.
const TessaranthHostServices* host() { return servingHost && hostOffersAdapter() ? servingHost : nullptr; }

} // namespace

bool load() {
    if (servingHost || servingLibrary) unload();
    if (hostOffersAdapter()) {
        servingHost = &hostServices();
        return true;
    }
    for (UsbLibrary* library : native::candidates()) {
        if (library->load()) {
            servingLibrary = library;
            return true;
        }
    }
    return false;
}

bool unload() {
    UsbLibrary* const library = servingLibrary;
    servingHost = nullptr;
    servingLibrary = nullptr;
    return !library || library->unload();
}

void open() {
    if (const TessaranthHostServices* services = host())
        services->usbOpen(services->context);
    else if (servingLibrary)
        servingLibrary->open();
}

void setBaudRate(uint32_t baud) {
    if (const TessaranthHostServices* services = host())
        services->usbSetBaudRate(services->context, baud);
    else if (servingLibrary)
        servingLibrary->setBaudRate(baud);
}

void write(const uint8_t* data, uint32_t length) {
    if (const TessaranthHostServices* services = host())
        services->usbWrite(services->context, data, length);
    else if (servingLibrary)
        servingLibrary->write(data, length);
}

void close() {
    if (const TessaranthHostServices* services = host())
        services->usbClose(services->context);
    else if (servingLibrary)
        servingLibrary->close();
}

} // namespace tessaranth::platform::usb
