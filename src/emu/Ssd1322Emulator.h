// SPDX-License-Identifier: GPL-2.0-or-later
// An SSD1322 greyscale OLED module, 256x64 at 4 bits a pixel, on 4-wire SPI (the chip has no
// I2C; every I2C message is logged).
//
// Commands travel with D/C low and their parameters with D/C high. Display data reaches memory
// only after 0x5C, until the next command. Memory is 480 segments by 128 rows of 4-bit levels;
// a column address covers 4 segments, written as 2 bytes of two pixels each, and the pointer
// moves per column through the column and row windows (0x15, 0x75), row by row or, with
// 0xA0 bit 0, column by column. 0xA0's column remap (bit 1) and nibble remap (bit 2) map the
// pixels to segments as they are written; its COM bits (scan direction, split, dual COM) and
// 0xA1/0xA2/0xCA lay out the rows when shown (ComScan).
//
// Brightness is the contrast (0xC1) times the master current (0xC7): it shows in look().
#pragma once

#include "emu/AddressWindow.h"
#include "emu/BusEmulator.h"
#include "emu/ComScan.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessaranth::emu {

class Ssd1322Emulator : public BusEmulator {
public:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 64;
    static constexpr int kColumns = 120;  // column addresses, 4 segments each
    static constexpr int kSegments = 4 * kColumns;
    static constexpr int kMemoryRows = 128;

    enum class DisplayMode : uint8_t { AllOff, AllOn, Normal, Inverse };

    struct Panel {
        PanelKind kind = PanelKind::OledYellow;
        PowerOnRam powerOn = PowerOnRam::Arbitrary;
    };

    // What the datasheet leaves open, in one place.
    struct Assumed {
        // The glass shows segments 112 .. 367 (columns 0x1C .. 0x5B) left to right, so that the
        // makers' set-up 0xA0 0x14 0x11 (nibble remap, reversed scan, dual COM) shows column
        // 0x1C's first pixel top left; u8g2's 0x06 0x11 then shows it turned by 180 degrees.
        static constexpr int kFirstSegment = 4 * 0x1C;
        static constexpr bool kSegmentZeroAtLeft = true;
        // Column remap reverses all 480 segments (pixels within a column too), so that the
        // two drivers' set-ups are 180 degrees apart.
        static constexpr bool kColumnRemapReversesPixels = true;
        // The panel's rows are wired for COM split off and dual COM on; another setting
        // interleaves the rows.
        static constexpr ComPins kPanelWiring{false, false};
        static constexpr bool kPanelDualCom = true;
        // 0xA4 .. 0xA7 as the command table has them (all off, all on, normal, inverse);
        // section 10.1.9 swaps 0xA4 and 0xA6.
        static constexpr bool kModesAsCommandTable = true;
        // Grey levels give light in proportion (the reset grey table is linear), and light
        // grows linearly with the contrast and the master current.
        static double lightOf(uint8_t contrast, uint8_t masterCurrent) {
            return (contrast + 1) / 256.0 * ((masterCurrent & 0x0F) + 1) / 16.0;
        }
    };

    explicit Ssd1322Emulator(const Panel& panel);

    void spiTransfer(bool dcHigh, std::span<const uint8_t> bytes, uint64_t timeMicros) override;
    void resetPulse() override;
    ScreenImage screen() const override;
    ScreenImage memoryImage() const override;
    PanelLook look() const override;

    // The level (0..15) of one segment of one memory row; 0 outside.
    int memoryLevel(int segment, int row) const;
    int column() const { return registers_.columns.pointer; }
    int row() const { return registers_.rows.pointer; }
    uint8_t contrast() const { return registers_.contrast; }
    uint8_t masterCurrent() const { return registers_.masterCurrent; }
    DisplayMode displayMode() const { return registers_.mode; }
    bool displayOn() const { return registers_.on; }
    bool locked() const { return registers_.locked; }

protected:
    const char* chipName() const override { return "SSD1322"; }
    uint32_t maxSpiClockHz() const override { return 10'000'000; }

private:
    static constexpr size_t kMostParameters = 15;

    struct Registers {
        AddressWindow columns = AddressWindow::whole(kColumns);
        AddressWindow rows = AddressWindow::whole(kMemoryRows);
        int byteInColumn = 0;
        bool writing = false;  // after 0x5C
        bool verticalIncrement = false;
        bool columnRemap = false;
        bool nibbleRemap = false;
        bool reversedScan = false;
        bool comSplit = false;
        bool dualCom = false;
        int startLine = 0;
        int offset = 0;
        int lines = kMemoryRows;
        DisplayMode mode = DisplayMode::Normal;
        bool on = false;
        uint8_t contrast = 0x7F;
        uint8_t masterCurrent = 0x0F;
        bool locked = false;
    };

    static std::optional<size_t> parameterCount(uint8_t command);
    void command(uint8_t byte);
    void data(uint8_t byte);
    void run(uint8_t command);
    void setWindow(AddressWindow& window, const char* what);
    void setRemap();
    void setDisplayMode(uint8_t command);
    void writePixels(uint8_t byte);
    void advance();
    int segmentOf(int column, int nibble) const;
    ScreenImage picture(bool withSwitches) const;

    Registers registers_;
    std::array<uint8_t, kSegments * kMemoryRows> memory_{};  // one level a byte, row by row
    std::array<uint8_t, kMostParameters> parameters_{};
    size_t parametersHeld_ = 0;
    size_t parametersWanted_ = 0;
    uint8_t pending_ = 0;
    bool pendingIgnored_ = false;  // a command the lock turned away, its parameters still to come
};

} // namespace tessaranth::emu
