// SPDX-License-Identifier: GPL-2.0-or-later
// libftdi1, the free driver for FTDI chips, standing in for the vendor's D2XX library: the
// first FT232-class device (0403:6001) behind the same four operations.
#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/UsbLibrary.h"

struct ftdi_context;

namespace tessaranth::platform {

class Ftdi1Library final : public UsbLibrary {
public:
    explicit Ftdi1Library(const char* name) : name_(name) {}
    ~Ftdi1Library() override;
    void setName(const char* name) { name_ = name; }
    const char* name() const override { return name_; }

    bool load() override;
    bool unload() override;
    void open() override;
    void setBaudRate(uint32_t baud) override;
    void write(const uint8_t* data, uint32_t length) override;
    void close() override;

private:
    using NewFunction = ftdi_context* (*)();
    using UsbOpenFunction = int (*)(ftdi_context*, int vendor, int product);
    using SetBaudrateFunction = int (*)(ftdi_context*, int baud);
    using WriteDataFunction = int (*)(ftdi_context*, const unsigned char* buffer, int size);
    using UsbCloseFunction = int (*)(ftdi_context*);
    using FreeFunction = void (*)(ftdi_context*);

    const char* name_;
    DynamicLibrary library_;
    NewFunction new_ = nullptr;
    UsbOpenFunction usbOpen_ = nullptr;
    SetBaudrateFunction setBaudrate_ = nullptr;
    WriteDataFunction writeData_ = nullptr;
    UsbCloseFunction usbClose_ = nullptr;
    FreeFunction free_ = nullptr;
    ftdi_context* context_ = nullptr;
    bool deviceOpen_ = false;
};

} // namespace tessaranth::platform
