// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/SpiLink.h"

#include <algorithm>

namespace tessaranth {

using Delivery = platform::BusDevice::Delivery;

bool SpiLink::open() {
    if (!device_.open()) return false;
    device_.resetPulse(resetMicros);
    return true;
}

void SpiLink::close() {
    flush();
    device_.close();
}

void SpiLink::stage(bool dc, std::span<const uint8_t> bytes) {
    if (dc != dc_) sendStaged();
    dc_ = dc;
    while (!bytes.empty()) {
        if (used_ == bufferBytes) sendStaged();
        const size_t length = std::min(bytes.size(), bufferBytes - used_);
        std::copy_n(bytes.begin(), length, buffer_.begin() + static_cast<std::ptrdiff_t>(used_));
        used_ += length;
        bytes = bytes.subspan(length);
    }
}

void SpiLink::settle(Delivery delivery, size_t bytes) {
    if (delivery != Delivery::dropped) countWireBytes(bytes);
    note(delivery);
}

void SpiLink::sendStaged() {
    if (used_ == 0) return;
    settle(device_.write(dc_, buffer_.data(), static_cast<uint32_t>(used_)), used_);
    used_ = 0;
}

void SpiLink::send(std::span<const uint8_t> bytes, platform::spi::Pace pace) {
    sendStaged();
    settle(device_.write(dc_, bytes.data(), static_cast<uint32_t>(bytes.size()), pace), bytes.size());
}

SerialLink::Outcome SpiLink::flush() {
    sendStaged();
    return takeOutcome();
}

} // namespace tessaranth
