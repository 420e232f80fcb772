// SPDX-License-Identifier: GPL-2.0-or-later
// A serial display on SPI with a D/C line (low for commands, high for data): staged bytes go
// out in one write per run of one D/C level. The reset line is pulsed when the device opens.
// A controller without a busy flag sends paced groups instead (see send()).
#pragma once

#include "controllers/SerialLink.h"
#include "platform/SpiDevice.h"

#include <array>

namespace tessaranth {

class SpiLink final : public SerialLink {
public:
    static constexpr size_t bufferBytes = 4096;
    static constexpr uint32_t resetMicros = 10;

    explicit SpiLink(const platform::spi::Options& options) : device_(options) {}

    bool open() override;
    void close() override;
    void command(std::span<const uint8_t> bytes) override { stage(false, bytes); }
    void data(std::span<const uint8_t> bytes) override { stage(true, bytes); }
    Outcome flush() override;
    int windowOverhead() const override { return 0; }

    // Sends what is staged, then `bytes` at once, every pace.bytes of them followed by
    // pace.delayMicros.
    void send(std::span<const uint8_t> bytes, platform::spi::Pace pace);

private:
    void stage(bool dc, std::span<const uint8_t> bytes);
    void sendStaged();
    void settle(platform::BusDevice::Delivery delivery, size_t bytes);

    platform::SpiDevice device_;
    std::array<uint8_t, bufferBytes> buffer_{};
    size_t used_ = 0;
    bool dc_ = false;
};

} // namespace tessaranth
