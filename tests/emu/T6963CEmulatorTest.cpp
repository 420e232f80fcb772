// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/T6963CEmulator.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tessaranth::emu {
namespace {

// Command sequences as the datasheet writes them: parameters first, words low byte first.
class EmuT6963CTest : public ::testing::Test {
protected:
    T6963CEmulator chip{128, 64};

    void command(uint8_t code, std::initializer_list<uint8_t> parameters = {}) {
        for (uint8_t parameter : parameters) chip.writeData(parameter);
        chip.writeCommand(code);
    }
    void word(uint8_t code, uint16_t value) { command(code, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)}); }
    void autoWrite(uint16_t address, std::initializer_list<uint8_t> bytes) {
        word(0x24, address);
        command(0xB0);
        for (uint8_t byte : bytes) chip.writeData(byte);
        command(0xB2);
    }
    // The usual layout of a 128x64 module: text at 0 (21 columns), graphics at 512 (24 bytes a row).
    void standardLayout(uint8_t displayMode) {
        word(0x40, 0);
        word(0x41, 21);
        word(0x42, 512);
        word(0x43, 24);
        command(0x80);
        command(displayMode);
    }
    std::string row(const ScreenImage& image, int y, int x0, int count) {
        std::string bits;
        for (int x = x0; x < x0 + count; ++x) bits += image.pixel(x, y) ? '#' : '.';
        return bits;
    }
};

TEST_F(EmuT6963CTest, AutoWriteStoresAtThePointerAndAdvancesIt) {
    autoWrite(0x01FE, {1, 2, 3, 4});
    EXPECT_EQ(chip.memory(0x01FE), 1);
    EXPECT_EQ(chip.memory(0x0201), 4);
    EXPECT_EQ(chip.addressPointer(), 0x0202);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST_F(EmuT6963CTest, SingleWritesIncrementDecrementOrKeepThePointer) {
    word(0x24, 0x0100);
    command(0xC0, {0x11});
    command(0xC0, {0x22});
    EXPECT_EQ(chip.addressPointer(), 0x0102);
    command(0xC2, {0x33});
    EXPECT_EQ(chip.addressPointer(), 0x0101);
    command(0xC4, {0x44});
    command(0xC4, {0x55});
    EXPECT_EQ(chip.addressPointer(), 0x0101);
    EXPECT_EQ(chip.memory(0x0100), 0x11);
    EXPECT_EQ(chip.memory(0x0101), 0x55);
    EXPECT_EQ(chip.memory(0x0102), 0x33);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST_F(EmuT6963CTest, ThePointerWrapsAtTheEndOfMemory) {
    autoWrite(0xFFFF, {7, 8});
    EXPECT_EQ(chip.memory(0xFFFF), 7);
    EXPECT_EQ(chip.memory(0x0000), 8);
    EXPECT_EQ(chip.addressPointer(), 1);
}

TEST_F(EmuT6963CTest, ReadsAndAutoReadFollowThePointer) {
    autoWrite(0x0300, {0xA1, 0xB2, 0xC3});
    word(0x24, 0x0300);
    command(0xB1);
    EXPECT_EQ(chip.readStatus() & 0x0C, 0x04);
    EXPECT_EQ(chip.readData(), 0xA1);
    EXPECT_EQ(chip.readData(), 0xB2);
    command(0xB2);
    EXPECT_EQ(chip.readStatus(), 0x03);
    command(0xC3);  // read and decrement: at 0x0302
    EXPECT_EQ(chip.readData(), 0xC3);
    EXPECT_EQ(chip.addressPointer(), 0x0301);
}

TEST_F(EmuT6963CTest, BitSetAndResetChangeOneBitAtThePointer) {
    autoWrite(0x0040, {0x10});
    word(0x24, 0x0040);
    command(0xF8 | 2);  // set bit 2
    command(0xF0 | 4);  // reset bit 4
    command(0xF8 | 7);
    EXPECT_EQ(chip.memory(0x0040), 0x84);
}

TEST_F(EmuT6963CTest, TextCellsShowTheRomGlyphOfAsciiMinus0x20) {
    standardLayout(0x94);
    autoWrite(21 + 2, {'I' - 0x20});  // text row 1, column 2
    const ScreenImage image = chip.screen();
    // 'I': a bar in the middle column with serifs at top and bottom, in the 6-pixel cell at x 12.
    EXPECT_EQ(row(image, 8, 12, 6), ".###..");
    EXPECT_EQ(row(image, 11, 12, 6), "..#...");
    EXPECT_EQ(row(image, 14, 12, 6), ".###..");
    EXPECT_EQ(row(image, 15, 12, 6), "......");
    EXPECT_EQ(image.litCount(), 3 + 5 + 3) << "code 0 elsewhere is the space";
}

TEST_F(EmuT6963CTest, CodesFrom0x80ComeFromCgRamAtTheOffsetBlock) {
    standardLayout(0x94);
    command(0x22, {3, 0});  // CG RAM at 3 << 11 = 0x1800, so code 0x80 sits at 0x1C00
    EXPECT_EQ(chip.cgRamBase(), 0x1800);
    autoWrite(0x1C00 + 8, {0x3F, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0xFF});  // code 0x81: a box
    autoWrite(0, {0x81});
    const ScreenImage image = chip.screen();
    EXPECT_EQ(row(image, 0, 0, 7), "######.");
    EXPECT_EQ(row(image, 3, 0, 7), "#....#.");
    EXPECT_EQ(row(image, 7, 0, 7), "######.") << "bits 7 and 6 of a pattern byte are not shown";
}

TEST_F(EmuT6963CTest, ExternalCgModeTakesEveryCodeFromCgRam) {
    standardLayout(0x94);
    command(0x22, {3, 0});
    autoWrite(0x1800 + 0x21 * 8, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01});
    autoWrite(0, {0x21});
    command(0x88);
    EXPECT_EQ(row(chip.screen(), 4, 0, 6), ".....#");
    command(0x80);
    EXPECT_EQ(row(chip.screen(), 0, 0, 6), ".###..") << "with the internal CG, 0x21 is the ROM's 'A'";
}

TEST_F(EmuT6963CTest, GraphicBytesShowTheirLowSixBitsWithBit5Leftmost) {
    standardLayout(0x98);
    autoWrite(512 + 3 * 24 + 1, {0x21, 0xC0});
    const ScreenImage image = chip.screen();
    EXPECT_EQ(row(image, 3, 6, 12), "#....#......");
    EXPECT_EQ(image.litCount(), 2);
}

TEST_F(EmuT6963CTest, TheGraphicAreaSetsTheRowPitchAndTheScreenCutsOffTheRest) {
    standardLayout(0x98);
    // With 24 bytes a row, x 126..127 are bits 5..4 of byte 21; bytes 22 and 23 lie past the glass.
    autoWrite(512 + 24 + 20, {0x3F, 0x3F, 0x3F, 0x3F});
    const ScreenImage image = chip.screen();
    EXPECT_EQ(row(image, 1, 120, 8), "########");
    EXPECT_EQ(image.litCount(), 8);
}

TEST_F(EmuT6963CTest, ModeSetCombinesTextAndGraphics) {
    standardLayout(0x9C);
    autoWrite(0, {'I' - 0x20});
    autoWrite(512, {0x3F});  // graphic row 0 of cell 0 fully lit
    command(0x80);
    EXPECT_EQ(row(chip.screen(), 0, 0, 6), "######");
    command(0x81);
    EXPECT_EQ(row(chip.screen(), 0, 0, 6), "#...##");
    command(0x83);
    EXPECT_EQ(row(chip.screen(), 0, 0, 6), ".###..");
    EXPECT_EQ(row(chip.screen(), 1, 0, 6), "......") << "AND with an empty graphic row hides the text";
}

TEST_F(EmuT6963CTest, DisplayModeChoosesTheLayers) {
    standardLayout(0x90);
    autoWrite(0, {'I' - 0x20});
    autoWrite(512 + 24 * 20, {0x3F});
    EXPECT_EQ(chip.screen().litCount(), 0);
    command(0x94);
    EXPECT_EQ(chip.screen().litCount(), 11);
    command(0x98);
    EXPECT_EQ(chip.screen().litCount(), 6);
}

TEST_F(EmuT6963CTest, TheCursorShowsItsPatternLinesAtTheCursorCell) {
    standardLayout(0x96);
    command(0x21, {4, 2});
    command(0xA1);  // two lines
    const ScreenImage image = chip.screen();
    EXPECT_EQ(row(image, 23, 24, 6), "######");
    EXPECT_EQ(row(image, 22, 24, 6), "######");
    EXPECT_EQ(row(image, 21, 24, 6), "......");
    EXPECT_EQ(image.litCount(), 12);
}

TEST_F(EmuT6963CTest, UnknownCommandsAndMissingParametersAreReported) {
    command(0x30);
    chip.writeData(0x10);
    chip.writeCommand(0x24);  // one parameter of two
    command(0x90, {0x01});    // a stray data byte before a command that takes none
    command(0x82);            // no such combination
    ASSERT_EQ(chip.problems().total(), 4u) << chip.problems().text();
    EXPECT_NE(chip.problems().messages()[0].find("unknown command 0x30"), std::string::npos);
    EXPECT_NE(chip.problems().messages()[1].find("0x24"), std::string::npos);
    EXPECT_EQ(chip.addressPointer(), 0) << "a command without its parameters is not run";
}

TEST_F(EmuT6963CTest, OnlyAutoResetIsTakenDuringAutoWrite) {
    word(0x24, 0x0010);
    command(0xB0);
    chip.writeData(0x41);
    chip.writeCommand(0xC0);  // not taken
    chip.writeData(0x42);
    command(0xB2);
    EXPECT_EQ(chip.memory(0x0010), 0x41);
    EXPECT_EQ(chip.memory(0x0011), 0x42);
    EXPECT_EQ(chip.problems().total(), 1u);
    command(0xB1);
    chip.writeData(0x99);
    EXPECT_EQ(chip.problems().total(), 2u) << "data written during auto read";
}

TEST_F(EmuT6963CTest, AReadCycleWithTheCommandLineHighReadsTheStatusAndLowTheData) {
    autoWrite(0x1234, {0x77});
    command(0xB0);
    EXPECT_EQ(chip.busRead(true), 0x0B);
    command(0xB2);
    word(0x24, 0x1234);
    command(0xC5);
    EXPECT_EQ(chip.busRead(false), 0x77);
}

} // namespace
} // namespace tessaranth::emu
