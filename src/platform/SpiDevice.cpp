// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/SpiDevice.h"

#include <cstdio>

namespace tessaranth::platform {

namespace {

// Copies a line's chip name into storage the device keeps.
spi::Line keep(spi::Line line, char* storage, size_t size) {
    std::snprintf(storage, size, "%s", line.chip ? line.chip : "");
    line.chip = storage;
    return line;
}

} // namespace

SpiDevice::SpiDevice(const spi::Options& options, Clock::duration retryInterval)
    : BusDevice(retryInterval), options_(options) {
    std::snprintf(device_, sizeof device_, "%s", options.device ? options.device : "");
    options_.device = device_;
    options_.dc = keep(options.dc, dcChip_, sizeof dcChip_);
    options_.reset = keep(options.reset, resetChip_, sizeof resetChip_);
    setName("the display on %s", device_);
}

int32_t SpiDevice::openDevice(BusFault& fault) { return spi::open(options_, fault); }

void SpiDevice::closeDevice(int32_t handle) { spi::close(handle); }

BusDevice::Delivery SpiDevice::write(bool dc, const uint8_t* bytes, uint32_t length, spi::Pace pace) {
    const int32_t handle = reach();
    if (handle < 0) return Delivery::dropped;
    return settle(spi::write(handle, dc, bytes, length, pace), device_, -1);
}

BusDevice::Delivery SpiDevice::resetPulse(uint32_t microseconds) {
    const int32_t handle = reach();
    if (handle < 0) return Delivery::dropped;
    return settle(spi::resetPulse(handle, microseconds), device_, -1);
}

} // namespace tessaranth::platform
