// SPDX-License-Identifier: GPL-2.0-or-later
// One device library for the USB adapter, loaded at run time.
#pragma once

#include <cstdint>

namespace tessaranth::platform {

class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;

    // The file it loads.
    virtual const char* name() const = 0;
    // Loads the library and resolves every function it needs; false leaves nothing loaded.
    virtual bool load() = 0;
    // False when the library could not be released.
    virtual bool unload() = 0;
    // The four operations are only called while the library is loaded.
    virtual void open() = 0;
    virtual void setBaudRate(uint32_t baud) = 0;
    virtual void write(const uint8_t* data, uint32_t length) = 0;
    virtual void close() = 0;
};

} // namespace tessaranth::platform
