// SPDX-License-Identifier: GPL-2.0-or-later
// Windows: FTDI's D2XX library.
#include "platform/D2xxLibrary.h"
#include "platform/Usb.h"

namespace tessaranth::platform::usb::native {

namespace {

constexpr const char* vendorName = "FTD2XX";

D2xxLibrary vendor{vendorName};
UsbLibrary* const libraries[] = {&vendor};

} // namespace

std::span<UsbLibrary* const> candidates() { return libraries; }

void setLibraryNames(const char* vendorLibrary, const char*) { vendor.setName(vendorLibrary ? vendorLibrary : vendorName); }

} // namespace tessaranth::platform::usb::native
