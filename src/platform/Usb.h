// SPDX-License-Identifier: GPL-2.0-or-later
// The USB display adapter (an FTDI serial chip) behind four operations. The host's USB
// services, when it installed all four, take precedence over the device library that the
// platform loads itself.
#pragma once

#include <cstdint>
#include <span>

namespace tessaranth::platform {
class UsbLibrary;
}

namespace tessaranth::platform::usb {

// Makes the adapter available; false when neither the host nor a device library offers it.
bool load();
// Releases what load took; false when the device library could not be released.
bool unload();
// Opens the first adapter. A missing or unplugged adapter is not reported: writes then go nowhere.
void open();
void setBaudRate(uint32_t baud);
void write(const uint8_t* data, uint32_t length);
void close();

// The device libraries of the platform the library was built for.
namespace native {
// The platform's device libraries, in the order they are tried.
std::span<UsbLibrary* const> candidates();
// Points the search at other files (null keeps the platform's own name); the fallback library
// exists only on Linux. Takes effect at the next load.
void setLibraryNames(const char* vendorLibrary, const char* fallbackLibrary);
} // namespace native

} // namespace tessaranth::platform::usb
