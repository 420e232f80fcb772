// SPDX-License-Identifier: GPL-2.0-or-later
// Linux: the vendor's libftd2xx.so when it is installed, else libftdi1.
#include "platform/D2xxLibrary.h"
#include "platform/Usb.h"
#include "platform/posix/Ftdi1Library.h"

namespace tessaranth::platform::usb::native {

namespace {

constexpr const char* vendorName = "libftd2xx.so";
constexpr const char* fallbackName = "libftdi1.so.2";

D2xxLibrary vendor{vendorName};
Ftdi1Library fallback{fallbackName};
UsbLibrary* const libraries[] = {&vendor, &fallback};

} // namespace

std::span<UsbLibrary* const> candidates() { return libraries; }

void setLibraryNames(const char* vendorLibrary, const char* fallbackLibrary) {
    vendor.setName(vendorLibrary ? vendorLibrary : vendorName);
    fallback.setName(fallbackLibrary ? fallbackLibrary : fallbackName);
}

} // namespace tessaranth::platform::usb::native
