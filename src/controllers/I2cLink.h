// SPDX-License-Identifier: GPL-2.0-or-later
// A serial display at one I2C address: every command or data span one message, its control
// byte first (0x00 commands, 0x40 data), the staged messages sent in one batch through the
// platform's I2C device (which splits a batch into the calls the adapter takes).
#pragma once

#include "controllers/SerialLink.h"
#include "platform/I2cDevice.h"

#include <array>

namespace tessaranth {

class I2cLink final : public SerialLink {
public:
    static constexpr uint8_t commandControl = 0x00;
    static constexpr uint8_t dataControl = 0x40;
    static constexpr size_t bufferBytes = 4096;
    static constexpr size_t maxMessages = 128;

    I2cLink(const char* device, uint8_t address7) : device_(device, address7) {}

    bool open() override { return device_.open(); }
    void close() override;
    void command(std::span<const uint8_t> bytes) override { stage(commandControl, bytes); }
    void data(std::span<const uint8_t> bytes) override { stage(dataControl, bytes); }
    Outcome flush() override;
    // A message's control byte, and its start, address and stop about two more.
    int windowOverhead() const override { return 6; }

private:
    void stage(uint8_t control, std::span<const uint8_t> bytes);
    void send();

    platform::I2cDevice device_;
    std::array<uint8_t, bufferBytes> buffer_{};
    std::array<platform::i2c::Message, maxMessages> messages_{};
    size_t used_ = 0;
    size_t count_ = 0;
};

} // namespace tessaranth
