// SPDX-License-Identifier: GPL-2.0-or-later
// The display at one address on one I2C adapter (see I2c.h for how the messages go out and
// BusDevice.h for what happens when they cannot).
#pragma once

#include "platform/BusDevice.h"
#include "platform/I2c.h"

#include <cstdint>

namespace tessaranth::platform {

class I2cDevice : public BusDevice {
public:
    // device: "/dev/i2c-1"; copied, cut to the longest path the record keeps.
    I2cDevice(const char* device, uint8_t address7, Clock::duration retryInterval = defaultRetryInterval);
    ~I2cDevice() override { release(); }

    Delivery write(const i2c::Message* messages, uint32_t count);

private:
    int32_t openDevice(BusFault& fault) override;
    void closeDevice(int32_t handle) override;

    char device_[128] = {};
    uint8_t address_;
};

} // namespace tessaranth::platform
