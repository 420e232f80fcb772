// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/I2cDevice.h"

#include <cstdio>

namespace tessaranth::platform {

I2cDevice::I2cDevice(const char* device, uint8_t address7, Clock::duration retryInterval)
    : BusDevice(retryInterval), address_(address7) {
    std::snprintf(device_, sizeof device_, "%s", device ? device : "");
    setName("the display at 0x%02X on %s", static_cast<unsigned>(address_), device_);
}

int32_t I2cDevice::openDevice(BusFault& fault) { return i2c::open(device_, address_, fault); }

void I2cDevice::closeDevice(int32_t handle) { i2c::close(handle); }

BusDevice::Delivery I2cDevice::write(const i2c::Message* messages, uint32_t count) {
    const int32_t handle = reach();
    if (handle < 0) return Delivery::dropped;
    return settle(i2c::write(handle, messages, count), device_, address_);
}

} // namespace tessaranth::platform
