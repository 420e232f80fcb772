// SPDX-License-Identifier: GPL-2.0-or-later
// Sitronix ST7920 128x64 graphic LCD module on its serial bus: every instruction or data byte
// framed as a sync byte (0xF8 instruction, 0xFA data) and two nibble bytes, and each followed by
// the 72 us the chip needs, as it has no busy flag to ask. The picture goes to the graphics RAM
// in the extended instruction set: 16-pixel words, a vertical address for a row pair (row y of
// the upper half, words 0..7, and row y + 32 of the lower, words 8..15) and a horizontal one.
#pragma once

#include "controllers/ShadowPageController.h"
#include "controllers/SpiLink.h"

namespace tessaranth {

class ST7920 final : public ShadowPageController {
public:
    static constexpr uint16_t instructionMicros = 72;
    static constexpr uint32_t clearMillis = 2;  // 1.6 ms
    static constexpr uint32_t fastestClockHz = 2'000'000;

    explicit ST7920(std::unique_ptr<SpiLink> link);

private:
    void sendSetup() override;
    void sendChanges(bool all) override;
    // One row pair's span of words [first, end).
    void sendWords(int vertical, int first, int end);
    bool wordChanged(int vertical, int word) const;
    void frame(bool data, uint8_t value);
    void send();

    SpiLink* spi_;
    uint8_t frames_[3 * 40] = {};
    size_t framed_ = 0;
};

} // namespace tessaranth
