// SPDX-License-Identifier: GPL-2.0-or-later
// An ST7920 128x64 graphic LCD module on its serial bus (PSB low): RS is the chip select
// (active high), RW the data line, E the clock. The module is only written.
//
// Framing: a sync byte 11111 RW RS 0 (0xF8 instruction, 0xFA data), then each byte as two
// nibble bytes, high nibble << 4 and low nibble << 4; any byte with bit 3 set is a sync.
// Dropping chip select restarts the framing. There is no busy flag: each instruction or data
// byte needs 72 us before the next, a clear (0x01) 1.6 ms, and one that comes sooner is logged.
//
// The chip draws a 256x32 picture: a graphics layer (GDRAM, 16-pixel words, shown when G is
// on) and a text layer of 16x16 cells (DDRAM, two 8x16 characters or one 16x16 character a
// cell). A 128x64 module shows its left half in rows 0-31 and its right half in rows 32-63:
// graphics row y < 32 is GDRAM vertical y, words 0-7; row y >= 32 is vertical y - 32, words
// 8-15; text lines 0x80 and 0x90 on top, 0x88 and 0x98 below.
#pragma once

#include "emu/BusEmulator.h"

#include <array>
#include <cstdint>
#include <functional>

namespace tessaranth::emu {

class St7920Emulator : public BusEmulator {
public:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 64;
    static constexpr int kGdramRows = 64;
    static constexpr int kGdramWords = 16;
    static constexpr int kDdramCells = 64;
    static constexpr uint8_t kInstructionSync = 0xF8;
    static constexpr uint8_t kDataSync = 0xFA;
    // The clock a new emulator assumes until told (setSpiClockHz).
    static constexpr uint32_t kDefaultSpiClockHz = 1'000'000;

    // Row `row` (0..15) of the 8x16 character `code`, bit 7 leftmost.
    using Font = std::function<uint8_t(uint8_t code, int row)>;

    struct Panel {
        PanelKind kind = PanelKind::StnBlue;
        // The module's CS (RS) pin is tied high rather than wired to the SPI chip select, so
        // the framing runs on from one transfer to the next.
        bool chipSelectTiedHigh = false;
        // The text layer's 8x16 characters; null: the emulators' own ROM font, rows doubled.
        Font font{};
        PowerOnRam powerOn = PowerOnRam::Arbitrary;
    };

    // What the datasheet leaves open, in one place.
    struct Assumed {
        // How long an instruction or data byte keeps the chip busy, and a clear (540 kHz).
        static constexpr uint64_t kBusyNanos = 72'000;
        static constexpr uint64_t kClearBusyNanos = 1'600'000;
        // Text and graphics are combined by exclusive or.
        static constexpr bool kTextXorGraphics = true;
        // Reversing line n (extended 0x04 + n) inverts rows 16n .. 16n + 15 of the 256x32
        // picture, both layers, so lines 0 and 1 show on both halves and lines 2, 3 on none.
        static constexpr int kRowsPerTextLine = 16;
        // Also: one sync covers any number of nibble pairs after it, instructions as data;
        // data goes to the memory whose address was set last (DDRAM after a clear or home);
        // a DDRAM or CGRAM byte is stored as it comes and the address moves after the second;
        // a function set that changes DL and RE at once is obeyed (and logged); a 16x16
        // character from the chip's own ROM shows as a box (and is logged); cursor, blink and
        // scrolling are logged, not drawn.
    };

    explicit St7920Emulator(Panel panel);

    // One transfer with chip select high throughout; it drops afterwards (unless the module
    // ties it high). The ST7920 has no D/C line: `dcHigh` is ignored.
    void spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t timeMicros) override;
    // Bytes on the serial line with chip select as it is; the first starts at `timeMicros`,
    // the rest follow back to back at spiClockHz().
    void serialBytes(std::span<const uint8_t> bytes, uint64_t timeMicros);
    void setChipSelect(bool high);
    void resetPulse() override;

    ScreenImage screen() const override;
    ScreenImage memoryImage() const override;

    uint16_t gdramWord(int vertical, int horizontal) const;
    uint16_t ddramCell(int address) const;
    bool extendedSet() const { return registers_.extended; }
    bool graphicsOn() const { return registers_.graphics; }
    bool displayOn() const { return registers_.on; }

protected:
    const char* chipName() const override { return "ST7920"; }
    // 400 ns a clock cycle at 4.5 V.
    uint32_t maxSpiClockHz() const override { return 2'500'000; }

private:
    enum class Target : uint8_t { Ddram, Cgram, Gdram };
    enum class Framing : uint8_t { NoSync, HighNibble, LowNibble, Ignoring };

    struct Registers {
        bool extended = false;  // RE
        bool eightBit = true;   // DL
        bool graphics = false;  // G
        bool on = false;
        bool standby = false;
        bool increment = true;
        bool scrollSelect = false;  // SR
        Target target = Target::Ddram;
        int address = 0;  // DDRAM cell or CGRAM row
        int vertical = 0;
        int horizontal = 0;
        bool gdramSecondAddress = false;  // the next 0x80+ in the extended set is horizontal
        bool secondByte = false;          // the next data byte completes a pair
        uint8_t heldByte = 0;
        std::array<bool, 4> reversedLines{};
    };

    void take(uint8_t byte, uint64_t endNanos);
    void checkTiming(bool isData, uint8_t value, uint64_t endNanos);
    void instruction(uint8_t value);
    void basicInstruction(uint8_t value);
    void extendedInstruction(uint8_t value);
    void functionSet(uint8_t value);
    void writeData(uint8_t value);
    void writeDdram(uint8_t value, bool second);
    bool textPixel(int x, int y) const;
    bool graphicsPixel(int x, int y) const;
    ScreenImage picture(bool withSwitches) const;

    Panel panel_;
    Registers registers_;
    std::array<std::array<uint16_t, kGdramWords>, kGdramRows> gdram_{};
    std::array<uint16_t, kDdramCells> ddram_{};
    std::array<uint16_t, 64> cgram_{};  // 4 characters of 16 rows
    Framing framing_ = Framing::NoSync;
    bool dataFrame_ = false;
    uint8_t highNibble_ = 0;
    bool chipSelected_ = false;
    uint64_t lastEndNanos_ = 0;       // end of the last byte on the wire
    bool executed_ = false;           // whether an instruction or data byte came since reset
    uint64_t executedNanos_ = 0;      // when it did
    uint64_t busyNanos_ = 0;          // how long it keeps the chip busy
};

} // namespace tessaranth::emu
