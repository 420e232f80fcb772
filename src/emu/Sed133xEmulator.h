// SPDX-License-Identifier: GPL-2.0-or-later
// An SED1330 or SED1335 with 64 KB of display memory on a module of the given size: a command
// byte (A0 high) is followed by its parameter bytes or, after MWRITE, by display data (A0 low).
#pragma once

#include "emu/Emulator.h"
#include "emu/StrobedBus.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaranth::emu {

class Sed133xEmulator : public Emulator, public StrobedChip {
public:
    Sed133xEmulator(int width, int height);

    void writeCommand(uint8_t command) override;
    void writeData(uint8_t byte) override;
    uint8_t readStatus() const { return 0x00; }  // never busy
    uint8_t readData();

    // The bus: A0 high is a command on a write and data on a read; A0 low a parameter or
    // display data on a write and the status on a read.
    std::optional<uint8_t> busRead(bool lineHigh) override;

    ScreenImage screen() const override;

    uint8_t memory(uint16_t address) const { return memory_[address]; }
    uint16_t cursor() const { return cursor_; }
    int characterWidth() const { return (systemSet_[1] & 0x0F) + 1; }
    int characterHeight() const { return (systemSet_[2] & 0x0F) + 1; }
    int bytesPerLine() const { return systemSet_[3] + 1; }
    int linesPerFrame() const { return systemSet_[5] + 1; }
    uint16_t addressPitch() const { return static_cast<uint16_t>(systemSet_[6] | systemSet_[7] << 8); }
    uint16_t blockStart(int block) const;  // SAD1..SAD4 as block 1..4
    uint16_t cgRamStart() const { return static_cast<uint16_t>(cgRamAddress_[0] | cgRamAddress_[1] << 8); }

private:
    void storeParameter(uint8_t byte);
    void startCommand(uint8_t command);
    void memoryWrite(uint8_t byte);
    int16_t cursorStep() const;

    bool layerOnePixel(int x, int line) const;
    bool layerTwoPixel(int x, int line) const;
    bool blockPixel(int block, bool text, int x, int line) const;
    bool textBit(uint16_t address, int column, int glyphRow) const;
    bool cursorPixel(int x, int line) const;
    bool combine(bool one, bool two) const;
    bool blockShown(int block) const;

    int width_;
    int height_;
    std::vector<uint8_t> memory_;
    std::optional<uint8_t> command_;  // the command whose parameters or data come next
    size_t parameterIndex_ = 0;
    std::array<uint8_t, 8> systemSet_{};
    std::array<uint8_t, 10> scroll_{};
    size_t scrollParameters_ = 0;  // how many SCROLL parameters the last SCROLL brought
    std::array<uint8_t, 2> cursorForm_{};
    std::array<uint8_t, 2> cgRamAddress_{};
    uint16_t cursor_ = 0;
    uint8_t direction_ = 0x4C;
    uint8_t horizontalScroll_ = 0;
    uint8_t overlay_ = 0;
    bool displayOn_ = false;
    uint8_t attributes_ = 0;
    uint8_t cursorReadIndex_ = 0;
};

} // namespace tessaranth::emu
