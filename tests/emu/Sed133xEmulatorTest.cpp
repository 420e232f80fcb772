// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Sed133xEmulator.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace tessaranth::emu {
namespace {

// Sequences as the datasheet gives them: the command byte, then its parameter bytes.
class EmuSed133xTest : public ::testing::Test {
protected:
    Sed133xEmulator chip{240, 128};

    void command(uint8_t code, std::initializer_list<uint8_t> parameters = {}) {
        chip.writeCommand(code);
        for (uint8_t parameter : parameters) chip.writeData(parameter);
    }
    void at(uint16_t address) { command(0x46, {static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8)}); }
    void write(uint16_t address, std::initializer_list<uint8_t> bytes) {
        at(address);
        command(0x42, bytes);
    }
    // A 240x128 panel with 6-dot characters: text at 0, graphics at 0x1000, 40 bytes a line.
    void standardSetUp(uint8_t attributes = 0x14) {
        command(0x40, {0x30, 0x85, 0x07, 39, 0x2D, 127, 40, 0});
        command(0x44, {0x00, 0x00, 127, 0x00, 0x10, 127});
        command(0x5B, {0x00});
        command(0x4C);
        command(0x59, {attributes});
    }
    std::string row(int y, int x0, int count) {
        const ScreenImage image = chip.screen();
        std::string bits;
        for (int x = x0; x < x0 + count; ++x) bits += image.pixel(x, y) ? '#' : '.';
        return bits;
    }
};

TEST_F(EmuSed133xTest, SystemSetGivesCharacterSizeLineLengthAndPitch) {
    standardSetUp();
    EXPECT_EQ(chip.characterWidth(), 6);
    EXPECT_EQ(chip.characterHeight(), 8);
    EXPECT_EQ(chip.bytesPerLine(), 40);
    EXPECT_EQ(chip.linesPerFrame(), 128);
    EXPECT_EQ(chip.addressPitch(), 40);
    EXPECT_EQ(chip.blockStart(2), 0x1000);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST_F(EmuSed133xTest, TextBytesAreAsciiCodesThroughTheRom) {
    standardSetUp();
    write(40 + 3, {'I'});  // text row 1, column 3
    EXPECT_EQ(row(8, 18, 6), ".###..");
    EXPECT_EQ(row(11, 18, 6), "..#...");
    EXPECT_EQ(chip.screen().litCount(), 11);
}

TEST_F(EmuSed133xTest, GraphicBytesShowBit7LeftmostAndSixDots) {
    standardSetUp();
    write(0x1000 + 2 * 40 + 1, {0x87});
    EXPECT_EQ(row(2, 6, 6), "#....#");
    EXPECT_EQ(chip.screen().litCount(), 2) << "bits 1 and 0 lie outside a 6-dot character";
}

TEST_F(EmuSed133xTest, TheCursorAdvancesInItsDirection) {
    standardSetUp();
    at(0x0100);
    command(0x4F, {});
    command(0x42, {1, 2});
    EXPECT_EQ(chip.memory(0x0100), 1);
    EXPECT_EQ(chip.memory(0x0100 + 40), 2);
    EXPECT_EQ(chip.cursor(), 0x0100 + 80);
    command(0x4D);
    command(0x42, {3, 4});
    EXPECT_EQ(chip.memory(0x0100 + 79), 4);
    command(0x4E);
    command(0x42, {5});
    EXPECT_EQ(chip.cursor(), 0x0100 + 78 - 40);
    command(0x4C);
    write(0xFFFF, {6, 7});
    EXPECT_EQ(chip.memory(0x0000), 7) << "the cursor wraps at the end of memory";
}

TEST_F(EmuSed133xTest, CgRamCodesComeFromTheCgRamStartAddress) {
    standardSetUp();
    command(0x5C, {0x90, 0x02});
    EXPECT_EQ(chip.cgRamStart(), 0x0290);
    write(0x0690, {0xFC, 0x84, 0x84, 0x84, 0x84, 0x84, 0x84, 0xFC});  // code 0x80 at SAG + 0x400
    write(0, {0x80});
    EXPECT_EQ(row(0, 0, 7), "######.");
    EXPECT_EQ(row(4, 0, 7), "#....#.");
}

TEST_F(EmuSed133xTest, OverlayCombinesTheLayers) {
    standardSetUp();
    write(0, {'I'});
    write(0x1000, {0xFC});
    EXPECT_EQ(row(0, 0, 6), "######");
    command(0x5B, {0x01});
    EXPECT_EQ(row(0, 0, 6), "#...##");
    command(0x5B, {0x02});
    EXPECT_EQ(row(0, 0, 6), ".###..");
    EXPECT_EQ(row(1, 0, 6), "......");
    command(0x5B, {0x04});  // the first layer as graphics: the byte 'I' (0x49) is dots now
    write(0x1000, {0x00});
    EXPECT_EQ(row(0, 0, 6), ".#..#.");
    EXPECT_EQ(row(1, 0, 6), "......");
}

TEST_F(EmuSed133xTest, DisplayOnAttributesChooseTheBlocksAndOffBlanksAll) {
    standardSetUp(0x04);
    write(0, {'I'});
    write(0x1000 + 40 * 20, {0xFC});
    EXPECT_EQ(chip.screen().litCount(), 11);
    command(0x59, {0x10});
    EXPECT_EQ(chip.screen().litCount(), 6);
    command(0x58, {0x14});
    EXPECT_EQ(chip.screen().litCount(), 0);
}

TEST_F(EmuSed133xTest, TheFirstBlockEndsAfterItsLinesAndTheThirdFollows) {
    standardSetUp();
    command(0x44, {0x00, 0x00, 63, 0x00, 0x10, 127});
    write(0, {'I'});
    write(40 * 8, {'I'});  // text row 8 would be at line 64
    EXPECT_EQ(chip.screen().litCount(), 11) << "without SAD3 the lines after SL1 show nothing of layer 1";
    command(0x44, {0x00, 0x00, 63, 0x00, 0x10, 127, 0x00, 0x00});
    command(0x59, {0x54});
    EXPECT_EQ(row(64, 0, 6), ".###..") << "block 3 starts at 0 again";
}

TEST_F(EmuSed133xTest, LinesAreAsLongAsSystemSetSaysAndHdotScrollShiftsThem) {
    command(0x40, {0x30, 0x85, 0x07, 9, 0x2D, 127, 40, 0});
    command(0x44, {0x00, 0x00, 127, 0x00, 0x10, 127});
    command(0x59, {0x14});
    write(0x1000, {0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC, 0xFC});
    EXPECT_EQ(chip.screen().litCount(), 60) << "ten bytes of six dots";
    command(0x5A, {2});
    EXPECT_EQ(row(0, 56, 4), "##..");
    EXPECT_EQ(chip.screen().litCount(), 58);
}

TEST_F(EmuSed133xTest, AnUnderlineCursorShowsAtTheCursorAddress) {
    standardSetUp(0x15);
    command(0x5D, {0x05, 0x07});
    at(40 * 2 + 4);
    EXPECT_EQ(row(23, 24, 6), "######");
    EXPECT_EQ(chip.screen().litCount(), 6);
}

TEST_F(EmuSed133xTest, UnknownCommandsAndStrayDataAreReported) {
    chip.writeData(0x11);
    command(0x00);
    command(0x59, {0x14, 0x00});
    command(0x42, {0x01});
    ASSERT_EQ(chip.problems().total(), 3u) << chip.problems().text();
    EXPECT_NE(chip.problems().messages()[1].find("unknown command 0x00"), std::string::npos);
}

TEST_F(EmuSed133xTest, AReadCycleWithA0LowReadsTheStatusAndHighTheMemoryAfterMread) {
    write(0x0020, {0x5A});
    EXPECT_EQ(chip.busRead(false), 0x00) << "status: not busy";
    at(0x0020);
    command(0x43);
    EXPECT_EQ(chip.busRead(true), 0x5A);
    EXPECT_EQ(chip.cursor(), 0x0021);
    command(0x47);
    EXPECT_EQ(chip.busRead(true), 0x21);
    EXPECT_EQ(chip.busRead(true), 0x00);
    command(0x4C);
    chip.busRead(true);
    EXPECT_EQ(chip.problems().total(), 1u) << "a data read needs MREAD or CSRR";
}

} // namespace
} // namespace tessaranth::emu
