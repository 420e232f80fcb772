// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/I2cLink.h"

#include <algorithm>

namespace tessaranth {

void I2cLink::close() {
    flush();
    device_.close();
}

void I2cLink::stage(uint8_t control, std::span<const uint8_t> bytes) {
    // A span longer than the buffer goes in pieces, each with its control byte.
    while (!bytes.empty()) {
        if (count_ == maxMessages || used_ + 2 > bufferBytes) send();
        const size_t length = std::min(bytes.size(), bufferBytes - used_ - 1);
        uint8_t* message = buffer_.data() + used_;
        message[0] = control;
        std::copy_n(bytes.begin(), length, message + 1);
        messages_[count_++] = {message, static_cast<uint32_t>(length + 1)};
        used_ += length + 1;
        bytes = bytes.subspan(length);
    }
}

void I2cLink::send() {
    if (count_ == 0) return;
    const auto delivery = device_.write(messages_.data(), static_cast<uint32_t>(count_));
    if (delivery != platform::BusDevice::Delivery::dropped) {
        // The address byte of each message beside its bytes.
        countWireBytes(used_ + count_);
    }
    note(delivery);
    used_ = 0;
    count_ = 0;
}

SerialLink::Outcome I2cLink::flush() {
    send();
    return takeOutcome();
}

} // namespace tessaranth
