// SPDX-License-Identifier: GPL-2.0-or-later
#include "BusServicesAdapter.h"

#include <cerrno>
#include <cstdio>

namespace tessaranth::test {

int32_t BusServicesAdapter::open(const char* device, char* fault, uint32_t faultSize) {
    if (!vanished) return 0;
    std::snprintf(fault, faultSize, "no %s", device);
    return -1;
}

int32_t BusServicesAdapter::i2cWrite(const TessaranthI2cMessage* messages, uint32_t count) {
    if (vanished) return ENODEV;
    for (uint32_t i = 0; i < count; ++i) {
        chip_.i2cMessage(address_, {messages[i].data, messages[i].length});
        // The address byte with each message's bytes, 9 clocks a byte.
        wireBytes_ += messages[i].length + 1;
        ++i2cMessages_;
        nowMicros_ += (messages[i].length + 1) * 9ull * 1'000'000 / i2cClockHz;
    }
    return 0;
}

int32_t BusServicesAdapter::spiWrite(bool dc, const uint8_t* data, uint32_t length) {
    if (vanished) return ENODEV;
    nowMicros_ += spiGapMicros;
    pausedMicros_ += spiGapMicros;
    ++spiWrites_;
    chip_.spiTransfer(dc, {data, length}, nowMicros_);
    wireBytes_ += length;
    nowMicros_ += (length * 8ull * 1'000'000 + chip_.spiClockHz() - 1) / chip_.spiClockHz();
    return 0;
}

TessaranthHostServices BusServicesAdapter::services() {
    TessaranthHostServices s{};
    s.version = TESSARANTH_HOST_SERVICES_VERSION;
    s.context = this;
    s.messageBox = [](void* c, const char* text, const char*, uint32_t) -> int32_t {
        of(c).boxes_.emplace_back(text);
        return 1;
    };
    s.sleepMillis = [](void* c, uint32_t ms) { of(c).nowMicros_ += 1000ull * ms; };
    s.i2cOpen = [](void* c, const char* device, uint8_t address, char* fault, uint32_t size) -> int32_t {
        of(c).address_ = address;
        return of(c).open(device, fault, size);
    };
    s.i2cWrite = [](void* c, int32_t, const TessaranthI2cMessage* messages, uint32_t count) {
        return of(c).i2cWrite(messages, count);
    };
    s.i2cClose = [](void*, int32_t) {};
    s.spiOpen = [](void* c, const char* device, uint8_t, uint32_t hz, char* fault, uint32_t size) -> int32_t {
        of(c).chip_.setSpiClockHz(hz);
        return of(c).open(device, fault, size);
    };
    s.spiWrite = [](void* c, int32_t, int32_t dc, const uint8_t* data, uint32_t length) {
        return of(c).spiWrite(dc != 0, data, length);
    };
    s.spiResetPulse = [](void* c, int32_t, uint32_t micros) -> int32_t {
        if (of(c).vanished) return ENODEV;
        of(c).chip_.resetPulse();
        of(c).nowMicros_ += 2ull * micros;
        return 0;
    };
    s.spiClose = [](void*, int32_t) {};
    return s;
}

} // namespace tessaranth::test
