// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/BusDevice.h"

#include "platform/Platform.h"

#include <cstdarg>
#include <cstdio>

namespace tessaranth::platform {

namespace {

void tell(const char* text) { messageBox(text, "Tessaranth", mbIconWarning); }

} // namespace

void BusDevice::setName(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(name_, sizeof name_, format, arguments);
    va_end(arguments);
}

bool BusDevice::open() {
    close();
    tried_ = false;
    return reach() >= 0;
}

void BusDevice::close() {
    if (handle_ >= 0) closeDevice(handle_);
    handle_ = -1;
}

int32_t BusDevice::reach() {
    if (handle_ >= 0) return handle_;
    const Clock::time_point now = Clock::now();
    if (tried_ && now - lastTry_ < retryInterval_) return -1;
    tried_ = true;
    lastTry_ = now;
    BusFault fault;
    handle_ = openDevice(fault);
    if (handle_ >= 0) return handle_;
    handle_ = -1;
    goDown(fault);
    return -1;
}

BusDevice::Delivery BusDevice::settle(int32_t error, const char* device, int32_t address) {
    if (error != 0) {
        close();
        lastTry_ = Clock::now();
        BusFault fault;
        describeWriteFailure(fault, device, address, error);
        goDown(fault);
        return Delivery::dropped;
    }
    if (!down_) return Delivery::sent;
    down_ = false;
    fault_.clear();
    char text[sizeof name_ + 32];
    std::snprintf(text, sizeof text, "%s answers again", name_);
    tell(text);
    return Delivery::resumed;
}

void BusDevice::goDown(const BusFault& fault) {
    if (down_) return;
    down_ = true;
    fault_ = fault;
    const auto seconds = std::chrono::duration_cast<std::chrono::milliseconds>(retryInterval_).count() / 1000.0;
    char text[BusFault::capacity + 80];
    std::snprintf(text, sizeof text, "%s. The display stays dark; it is tried again every %g s.", fault_.text(),
                  seconds);
    tell(text);
}

} // namespace tessaranth::platform
