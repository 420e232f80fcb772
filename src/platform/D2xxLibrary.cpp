// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/D2xxLibrary.h"

namespace tessaranth::platform {

bool D2xxLibrary::load() {
    if (!library_.open(name_)) return false;
    write_ = library_.function<WriteFunction>("FT_Write");
    setBaudRate_ = library_.function<SetBaudRateFunction>("FT_SetBaudRate");
    close_ = library_.function<CloseFunction>("FT_Close");
    open_ = library_.function<OpenFunction>("FT_Open");
    if (write_ && setBaudRate_ && close_ && open_) return true;
    unload();
    return false;
}

bool D2xxLibrary::unload() {
    write_ = nullptr;
    setBaudRate_ = nullptr;
    close_ = nullptr;
    open_ = nullptr;
    deviceHandle_ = nullptr;
    return library_.close();
}

void D2xxLibrary::open() { open_(0, &deviceHandle_); }

void D2xxLibrary::setBaudRate(uint32_t baud) { setBaudRate_(deviceHandle_, baud); }

void D2xxLibrary::write(const uint8_t* data, uint32_t length) {
    // The library takes a mutable buffer but only reads it.
    write_(deviceHandle_, const_cast<uint8_t*>(data), length, &bytesWritten_);
}

void D2xxLibrary::close() {
    close_(deviceHandle_);
    deviceHandle_ = nullptr;
}

} // namespace tessaranth::platform
