// SPDX-License-Identifier: GPL-2.0-or-later
// Puts one emulated bus display behind the plug-in's host services (version 2): every I2C
// message and SPI write reaches the emulator as it goes on the wire, on a clock that runs with
// the bytes on the wire, the host's sleeps and the pause the platform's SPI pacing keeps between
// paced writes. The device can be made to vanish and come back.
#pragma once

#include "emu/BusEmulator.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

class BusServicesAdapter {
public:
    static constexpr uint32_t i2cClockHz = 400'000;

    explicit BusServicesAdapter(emu::BusEmulator& chip) : chip_(chip) {}
    BusServicesAdapter(const BusServicesAdapter&) = delete;
    BusServicesAdapter& operator=(const BusServicesAdapter&) = delete;

    // The record for tessaranthSetHostServices; the adapter must outlive its use.
    TessaranthHostServices services();

    // The pause before each SPI write (the pace the platform keeps, in microseconds).
    uint32_t spiGapMicros = 0;
    // The device is gone: opens and writes fail with ENODEV.
    bool vanished = false;

    // Wire bytes (an I2C message's address byte counted), I2C messages, SPI writes and the
    // pauses kept before paced SPI writes, since the adapter was made.
    uint64_t wireBytes() const { return wireBytes_; }
    uint64_t i2cMessages() const { return i2cMessages_; }
    uint64_t spiWrites() const { return spiWrites_; }
    uint64_t pausedMicros() const { return pausedMicros_; }
    uint64_t nowMicros() const { return nowMicros_; }
    const std::vector<std::string>& boxes() const { return boxes_; }
    emu::BusEmulator& chip() { return chip_; }

private:
    static BusServicesAdapter& of(void* context) { return *static_cast<BusServicesAdapter*>(context); }
    int32_t open(const char* device, char* fault, uint32_t faultSize);
    int32_t i2cWrite(const TessaranthI2cMessage* messages, uint32_t count);
    int32_t spiWrite(bool dc, const uint8_t* data, uint32_t length);

    emu::BusEmulator& chip_;
    uint8_t address_ = 0;
    uint64_t wireBytes_ = 0;
    uint64_t i2cMessages_ = 0;
    uint64_t spiWrites_ = 0;
    uint64_t pausedMicros_ = 0;
    uint64_t nowMicros_ = 0;
    std::vector<std::string> boxes_;
};

} // namespace tessaranth::test
