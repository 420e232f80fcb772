// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/Ftdi1Library.h"

#include <algorithm>
#include <climits>

namespace tessaranth::platform {

namespace {

constexpr int ftdiVendor = 0x0403;
constexpr int ft232Product = 0x6001;

} // namespace

Ftdi1Library::~Ftdi1Library() { unload(); }

bool Ftdi1Library::load() {
    if (!library_.open(name_)) return false;
    new_ = library_.function<NewFunction>("ftdi_new");
    usbOpen_ = library_.function<UsbOpenFunction>("ftdi_usb_open");
    setBaudrate_ = library_.function<SetBaudrateFunction>("ftdi_set_baudrate");
    writeData_ = library_.function<WriteDataFunction>("ftdi_write_data");
    usbClose_ = library_.function<UsbCloseFunction>("ftdi_usb_close");
    free_ = library_.function<FreeFunction>("ftdi_free");
    if (new_ && usbOpen_ && setBaudrate_ && writeData_ && usbClose_ && free_) return true;
    unload();
    return false;
}

bool Ftdi1Library::unload() {
    if (context_) close();
    new_ = nullptr;
    usbOpen_ = nullptr;
    setBaudrate_ = nullptr;
    writeData_ = nullptr;
    usbClose_ = nullptr;
    free_ = nullptr;
    return library_.close();
}

void Ftdi1Library::open() {
    if (context_) close();
    context_ = new_();
    deviceOpen_ = context_ && usbOpen_(context_, ftdiVendor, ft232Product) == 0;
}

void Ftdi1Library::setBaudRate(uint32_t baud) {
    if (deviceOpen_) setBaudrate_(context_, static_cast<int>(std::min<uint32_t>(baud, INT_MAX)));
}

void Ftdi1Library::write(const uint8_t* data, uint32_t length) {
    if (deviceOpen_) writeData_(context_, data, static_cast<int>(std::min<uint32_t>(length, INT_MAX)));
}

void Ftdi1Library::close() {
    if (deviceOpen_) usbClose_(context_);
    if (context_) free_(context_);
    context_ = nullptr;
    deviceOpen_ = false;
}

} // namespace tessaranth::platform
