// SPDX-License-Identifier: GPL-2.0-or-later
// The display on one SPI device with its D/C and reset lines (see Spi.h for how the bytes go out
// and BusDevice.h for what happens when they cannot).
#pragma once

#include "platform/BusDevice.h"
#include "platform/Spi.h"

#include <cstdint>

namespace tessaranth::platform {

class SpiDevice : public BusDevice {
public:
    // The options' texts are copied, cut to the lengths the record keeps.
    explicit SpiDevice(const spi::Options& options, Clock::duration retryInterval = defaultRetryInterval);
    ~SpiDevice() override { release(); }

    Delivery write(bool dc, const uint8_t* bytes, uint32_t length, spi::Pace pace = {});
    Delivery resetPulse(uint32_t microseconds);

private:
    int32_t openDevice(BusFault& fault) override;
    void closeDevice(int32_t handle) override;

    char device_[128] = {};
    char dcChip_[64] = {};
    char resetChip_[64] = {};
    spi::Options options_;
};

} // namespace tessaranth::platform
