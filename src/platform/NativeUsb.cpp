// The device library in use: the first of the platform's candidates that loads.
#include "platform/Usb.h"
#include "platform/UsbLibrary.h"

namespace tessaranth::platform::usb::native {

namespace {

UsbLibrary* active = nullptr;

} // namespace

bool load() {
    if (active) return true;
    for (UsbLibrary* library : candidates()) {
        if (library->load()) {
            active = library;
            return true;
        }
    }
    return false;
}

bool unload() {
    UsbLibrary* const library = active;
    active = nullptr;
    return !library || library->unload();
}

void open() {
    if (active) active->open();
}

void setBaudRate(uint32_t baud) {
    if (active) active->setBaudRate(baud);
}

void write(const uint8_t* data, uint32_t length) {
    if (active) active->write(data, length);
}

void close() {
    if (active) active->close();
}

} // namespace tessaranth::platform::usb::native
