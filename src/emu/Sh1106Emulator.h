// SPDX-License-Identifier: GPL-2.0-or-later
// An SH1106 OLED module, 128x64 glass on a chip with 132 columns of memory, on I2C or 4-wire SPI.
//
// Memory is 132 columns by 8 pages of bytes, bit 0 on top, as on the SSD1306, but only page
// addressing exists: a data byte moves the column, never the page, so every page needs its
// own page and column commands. The chip decodes commands one byte at a time: its own
// two-byte commands (0x81, 0xA8, 0xAD, 0xD3, 0xD5, 0xD9, 0xDA, 0xDB) take the next byte, and
// any other byte is a command of its own. So an SSD1306-only command's parameters act as
// commands: 0x21 0x00 0x7F sets the column's low nibble to 0 and the start line to 63.
//
// The glass shows 128 of the 132 columns: which ones is the panel's firstColumn.
#pragma once

#include "emu/ComScan.h"
#include "emu/ControlByteChip.h"

#include <array>
#include <cstdint>

namespace tessaranth::emu {

class Sh1106Emulator : public ControlByteChip {
public:
    static constexpr int kMemoryColumns = 132;
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 64;
    static constexpr int kPages = 8;

    struct Panel {
        // The memory column shown at the left edge of the glass in the modules' usual
        // orientation (0xA1 with 0xC8): 2 on most modules (they show columns 2 .. 129), or 0.
        int firstColumn = 2;
        uint8_t address7 = kAddressSa0Low;
        // The module powers the glass from the chip's DC-DC converter, so it is dark while
        // 0xAD 0x8A has that off (it is on after reset).
        bool dcDcPowersPanel = true;
        PanelKind kind = PanelKind::OledWhite;
        PowerOnRam powerOn = PowerOnRam::Arbitrary;
    };

    // What the datasheet leaves open, in one place. Besides these: a byte the chip does not
    // know is skipped (and logged); the rows as ComScan lays them out.
    struct Assumed {
        // The segments run from right to left on the glass, as on the SSD1306 modules.
        static constexpr bool kSegmentZeroAtRight = true;
        // 0xA0/0xA1 set how memory columns reach the segments when the picture is shown, so
        // they mirror what is already in memory (the SSD1306 instead maps as it writes); see
        // memoryColumnAt().
        // The column after 131 (and after a column set beyond it).
        static constexpr int kWrapColumn = 0;
        // Light grows linearly with the contrast: (contrast + 1) / 256 of full current.
        static double lightOfContrast(uint8_t contrast) { return (contrast + 1) / 256.0; }
    };

    explicit Sh1106Emulator(const Panel& panel);

    void resetPulse() override;
    ScreenImage screen() const override;
    ScreenImage memoryImage() const override;
    PanelLook look() const override;

    // Memory by column address as the chip was written; 0 outside.
    uint8_t memory(int page, int column) const;
    int column() const { return registers_.column; }
    int page() const { return registers_.page; }
    int startLine() const { return registers_.startLine; }
    uint8_t contrast() const { return registers_.contrast; }
    bool displayOn() const { return registers_.on; }
    const Panel& panel() const { return panel_; }

protected:
    void command(uint8_t byte) override;
    void data(uint8_t byte) override;
    const char* chipName() const override { return "SH1106"; }
    // 250 ns at VDD1 >= 2.4 V is 4 MHz; modules are run at 8 MHz and take it (assumed).
    uint32_t maxSpiClockHz() const override { return 8'000'000; }

private:
    struct Registers {
        int column = 0;
        int page = 0;
        uint8_t contrast = 0x80;
        bool on = false;
        bool allOn = false;
        bool inverse = false;
        bool segmentRemap = false;
        bool dcDcOn = true;
        int startLine = 0;
        int offset = 0;
        int lines = 64;
        bool reversedScan = false;
        bool alternativePins = true;
        bool readModifyWrite = false;
        int heldColumn = 0;  // the column at 0xE0, restored by 0xEE
    };

    static bool takesParameter(uint8_t command);
    void run(uint8_t command);
    void runWithParameter(uint8_t command, uint8_t parameter);
    int memoryColumnAt(int x) const;
    ScreenImage picture(bool withSwitches) const;

    Panel panel_;
    Registers registers_;
    std::array<uint8_t, kMemoryColumns * kPages> memory_{};
    uint8_t pending_ = 0;  // a two-byte command waiting for its second byte
    bool waiting_ = false;
};

} // namespace tessaranth::emu
