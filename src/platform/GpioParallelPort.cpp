// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/GpioParallelPort.h"

#include "platform/Gpio.h"

#include <cstdio>

namespace tessaranth::platform {

namespace {

constexpr int controlShift = ParallelLines::dataLines;
constexpr uint16_t dataMask = 0xFF;
// What the waiting update holds: levels, data and leading edges, or latching edges.
constexpr uint8_t holdsSetup = 1;
constexpr uint8_t holdsLatching = 2;

} // namespace

GpioParallelPort::GpioParallelPort(const ParallelLines& lines, Clock::duration retryInterval)
    : BusDevice(retryInterval), target_(levels(0, initialControl)) {
    std::snprintf(chip_, sizeof chip_, "%s", lines.chip ? lines.chip : "");
    for (int line = 0; line < maxLines; ++line) {
        const int32_t offset = line < controlShift ? lines.data[line] : lines.control[line - controlShift];
        requestIndex_[line] = -1;
        if (offset < 0) continue;
        requestIndex_[line] = static_cast<int8_t>(lineCount_);
        offsets_[lineCount_++] = static_cast<uint32_t>(offset);
    }
    setName("the display on the GPIO lines of %s", chip_);
}

uint16_t GpioParallelPort::levels(uint8_t data, uint8_t control) {
    return static_cast<uint16_t>(data | (((control ^ invertedPins) & 0x0F) << controlShift));
}

uint64_t GpioParallelPort::requestBits(uint16_t portLines) const {
    uint64_t bits = 0;
    for (int line = 0; line < maxLines; ++line)
        if ((portLines >> line) & 1u && requestIndex_[line] >= 0) bits |= uint64_t{1} << requestIndex_[line];
    return bits;
}

int32_t GpioParallelPort::repeatedLine() const {
    for (uint32_t i = 0; i < lineCount_; ++i)
        for (uint32_t j = i + 1; j < lineCount_; ++j)
            if (offsets_[i] == offsets_[j]) return static_cast<int32_t>(offsets_[i]);
    return -1;
}

int32_t GpioParallelPort::openDevice(BusFault& fault) {
    if (lineCount_ == 0) {
        fault.set("no GPIO line of %s is set for the display's data and control pins: set them in the wiring", chip_);
        return -1;
    }
    if (const int32_t line = repeatedLine(); line >= 0) {
        fault.set("line %d of %s is set for two pins: give each pin a line of its own", static_cast<int>(line), chip_);
        return -1;
    }
    return gpio::open(chip_, offsets_, lineCount_, requestBits(target_), fault);
}

void GpioParallelPort::closeDevice(int32_t handle) { gpio::close(handle); }

void GpioParallelPort::writeData(uint8_t value) {
    data_ = value;
    const uint16_t newLevels = static_cast<uint16_t>((target_ & ~dataMask) | value);
    away_ = 0;
    latched_ = false;
    stage(static_cast<uint16_t>((target_ ^ newLevels) & dataMask), newLevels, false);
}

void GpioParallelPort::writeControl(uint8_t value) {
    const uint16_t newLevels = levels(data_, value);
    const auto changedPins = static_cast<uint8_t>(((target_ ^ newLevels) >> controlShift) & 0x0F);
    const bool latching = (changedPins & away_) != 0;
    away_ = static_cast<uint8_t>(away_ & ~changedPins);
    latched_ = latched_ || latching;
    if (!latched_) away_ = static_cast<uint8_t>(away_ | changedPins);
    stage(static_cast<uint16_t>(changedPins << controlShift), newLevels, latching);
}

void GpioParallelPort::stage(uint16_t changed, uint16_t newLevels, bool latching) {
    if (changed == 0) return;
    const bool twice = (pending_ & changed) != 0;
    const bool outOfOrder = (pendingKinds_ & (latching ? holdsSetup : holdsLatching)) != 0;
    if (twice || outOfOrder) send();
    pending_ = static_cast<uint16_t>(pending_ | changed);
    target_ = static_cast<uint16_t>((target_ & ~changed) | (newLevels & changed));
    pendingKinds_ = static_cast<uint8_t>(pendingKinds_ | (latching ? holdsLatching : holdsSetup));
}

void GpioParallelPort::send() {
    const uint64_t mask = requestBits(pending_);
    pending_ = 0;
    pendingKinds_ = 0;
    if (mask == 0) return;
    const int32_t handle = reach();
    if (handle < 0) return;
    if (settle(gpio::set(handle, requestBits(target_), mask), chip_, -1) == Delivery::resumed) resumed_ = true;
}

BusDevice::Delivery GpioParallelPort::flush() {
    send();
    const bool resumed = resumed_;
    resumed_ = false;
    if (resumed) return Delivery::resumed;
    return isOpen() ? Delivery::sent : Delivery::dropped;
}

} // namespace tessaranth::platform
