#include "platform/Usb.h"

#include "platform/Platform.h"

namespace tessaranth::platform::usb {

namespace {

// Set by load: the host's services serve the adapter until unload.
bool hostServesAdapter = false;

bool hostOffersAdapter() {
    const TessaranthHostServices& host = hostServices();
    return host.usbOpen && host.usbSetBaudRate && host.usbWrite && host.usbClose;
}

// The host's services while they serve the adapter; null otherwise (also when the host took
// them back after load, so nothing is sent anywhere).
const TessaranthHostServices* servingHost() {
    return hostServesAdapter && hostOffersAdapter() ? &hostServices() : nullptr;
}

} // namespace

bool load() {
    hostServesAdapter = hostOffersAdapter();
    return hostServesAdapter || native::load();
}

bool unload() {
    if (!hostServesAdapter) return native::unload();
    hostServesAdapter = false;
    return true;
}

void open() {
    if (const TessaranthHostServices* host = servingHost())
        host->usbOpen(host->context);
    else if (!hostServesAdapter)
        native::open();
}

void setBaudRate(uint32_t baud) {
    if (const TessaranthHostServices* host = servingHost())
        host->usbSetBaudRate(host->context, baud);
    else if (!hostServesAdapter)
        native::setBaudRate(baud);
}

void write(const uint8_t* data, uint32_t length) {
    if (const TessaranthHostServices* host = servingHost())
        host->usbWrite(host->context, data, length);
    else if (!hostServesAdapter)
        native::write(data, length);
}

void close() {
    if (const TessaranthHostServices* host = servingHost())
        host->usbClose(host->context);
    else if (!hostServesAdapter)
        native::close();
}

} // namespace tessaranth::platform::usb
