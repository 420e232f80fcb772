// SPDX-License-Identifier: GPL-2.0-or-later
// An SSD1306 OLED module (128x64 or 128x32), or an SSD1309 (128x64) as a variant of it, on I2C
// or 4-wire SPI.
//
// Display memory (GDDRAM) is 128 segments by 8 pages; a data byte is 8 rows of one segment,
// bit 0 on top. Data goes where the column and page pointers point; the column is mapped to a
// segment as the byte is written (0xA1 maps column c to segment 127 - c), so a later 0xA0/0xA1
// does not move what is in memory. The picture is memory as ComScan lays out its rows, segment
// 127 at the left edge of the glass (see Assumed).
//
// The SSD1309 differs in: no charge pump (0x8D and its parameter are accepted and do
// nothing), 0xFD 0x16 / 0xFD 0x12 lock and unlock the interface, seven-parameter horizontal
// scrolls and 0x2C/0x2D, which shift memory one column once, and 0xDC x (a GPIO pin).
//
// Continuous scrolling (0x2F) is decoded but not animated: it is logged, as is any data written
// while it runs (the datasheet has memory rewritten after 0x2E).
#pragma once

#include "emu/AddressWindow.h"
#include "emu/ComScan.h"
#include "emu/ControlByteChip.h"

#include <array>
#include <cstdint>

namespace tessaranth::emu {

class Ssd1306Emulator : public ControlByteChip {
public:
    enum class Chip : uint8_t { Ssd1306, Ssd1309 };
    enum class Addressing : uint8_t { Horizontal = 0, Vertical = 1, Page = 2 };

    struct Panel {
        Chip chip = Chip::Ssd1306;
        int height = 64;  // 64 or 32 rows; always 128 wide
        uint8_t address7 = kAddressSa0Low;
        // The module powers the glass from the SSD1306's charge pump and stays dark until
        // 0x8D 0x14 (assumed for every SSD1306 module; an SSD1309 has no pump).
        bool chargePumpPowersPanel = true;
        PanelKind kind = PanelKind::OledWhite;
        PowerOnRam powerOn = PowerOnRam::Arbitrary;
    };

    // What the datasheets leave open, in one place. Besides these: a command byte the chip
    // does not know is skipped alone (the bytes after it are decoded as commands); the SSD1309
    // takes 0x8D and its parameter and does nothing; the rows as ComScan lays them out.
    struct Assumed {
        // The segment at the left edge of the glass: the modules are mounted so that 0xA1
        // (column 127 to segment 0) with 0xC8 shows column 0 on the left, page 0 on top.
        static constexpr bool kSegmentZeroAtRight = true;
        // Page mode's column nibble and page commands move the pointers in the other modes too.
        static constexpr bool kPageCommandsMovePointersInEveryMode = true;
        // In page mode the column wraps from 127 to this one.
        static constexpr int kPageModeWrapColumn = 0;
        // A locked SSD1309 ignores display data as well as commands.
        static constexpr bool kLockIgnoresData = true;
        // The SSD1309's one-column shift moves the last column of its range to the first.
        static constexpr bool kColumnShiftWraps = true;
        // Light grows linearly with the contrast: (contrast + 1) / 256 of full current.
        static double lightOfContrast(uint8_t contrast) { return (contrast + 1) / 256.0; }
    };

    static constexpr int kWidth = 128;
    static constexpr int kPages = 8;

    explicit Ssd1306Emulator(const Panel& panel);

    void resetPulse() override;
    ScreenImage screen() const override;
    ScreenImage memoryImage() const override;
    // The panel's colour, bright as the contrast lets it be.
    PanelLook look() const override;

    // Memory by segment (as the chip stores it, not by column address) and page.
    uint8_t memory(int page, int segment) const;
    Addressing addressing() const { return registers_.addressing; }
    int column() const { return registers_.columns.pointer; }
    int page() const { return registers_.pages.pointer; }
    uint8_t contrast() const { return registers_.contrast; }
    bool displayOn() const { return registers_.on; }
    bool locked() const { return registers_.locked; }
    bool scrolling() const { return registers_.scrolling; }
    const Panel& panel() const { return panel_; }

protected:
    void command(uint8_t byte) override;
    void data(uint8_t byte) override;
    const char* chipName() const override;
    uint32_t maxSpiClockHz() const override { return 10'000'000; }

private:
    static constexpr size_t kMostParameters = 7;

    struct Registers {
        Addressing addressing = Addressing::Page;
        AddressWindow columns = AddressWindow::whole(kWidth);
        AddressWindow pages = AddressWindow::whole(kPages);
        bool columnRemap = false;
        uint8_t contrast = 0x7F;
        bool on = false;
        bool allOn = false;
        bool inverse = false;
        bool pumpOn = false;
        int startLine = 0;
        int offset = 0;
        int lines = 64;
        bool reversedScan = false;
        ComPins pins{};  // 0x12
        bool scrolling = false;
        bool wroteWhileScrolling = false;
        bool locked = false;
    };

    bool isSsd1309() const { return panel_.chip == Chip::Ssd1309; }
    int parameterCount(uint8_t command) const;
    bool isScroll(uint8_t command) const;
    void run(uint8_t command);
    void runAddressing(uint8_t command);
    void runScroll(uint8_t command);
    void runSsd1309(uint8_t command);
    void shiftOneColumn(bool right);
    void advance();
    ComScan scan() const;
    ScreenImage picture(bool withSwitches) const;

    Panel panel_;
    Registers registers_;
    std::array<uint8_t, kWidth * kPages> memory_{};
    std::array<uint8_t, kMostParameters> parameters_{};
    size_t parametersHeld_ = 0;
    size_t parametersWanted_ = 0;
    uint8_t pending_ = 0;
};

} // namespace tessaranth::emu
