// SPDX-License-Identifier: GPL-2.0-or-later
// FTDI's D2XX library ("FTD2XX" on Windows, libftd2xx.so elsewhere): FT_Open, FT_SetBaudRate,
// FT_Write and FT_Close, resolved by name.
#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/UsbLibrary.h"

// The library's calling convention: WINAPI on 32-bit Windows.
#if defined(_WIN32)
#define TESSARANTH_D2XX_CALL __stdcall
#else
#define TESSARANTH_D2XX_CALL
#endif

namespace tessaranth::platform {

class D2xxLibrary final : public UsbLibrary {
public:
    explicit D2xxLibrary(const char* name) : name_(name) {}
    void setName(const char* name) { name_ = name; }
    const char* name() const override { return name_; }

    bool load() override;
    bool unload() override;
    void open() override;
    void setBaudRate(uint32_t baud) override;
    void write(const uint8_t* data, uint32_t length) override;
    void close() override;

private:
    using Status = unsigned long;
    using OpenFunction = Status(TESSARANTH_D2XX_CALL*)(int device, void** handle);
    using SetBaudRateFunction = Status(TESSARANTH_D2XX_CALL*)(void* handle, unsigned long baud);
    using WriteFunction = Status(TESSARANTH_D2XX_CALL*)(void* handle, void* buffer, uint32_t length, uint32_t* written);
    using CloseFunction = Status(TESSARANTH_D2XX_CALL*)(void* handle);

    const char* name_;
    DynamicLibrary library_;
    WriteFunction write_ = nullptr;
    SetBaudRateFunction setBaudRate_ = nullptr;
    CloseFunction close_ = nullptr;
    OpenFunction open_ = nullptr;
    void* deviceHandle_ = nullptr;
    uint32_t bytesWritten_ = 0;
};

} // namespace tessaranth::platform
