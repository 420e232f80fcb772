// SPDX-License-Identifier: GPL-2.0-or-later
#include "DisplayTraffic.h"

#include "emu/St7920Emulator.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

using test::lopsided;
using test::pixelsDiffering;

using Panel = St7920Emulator::Panel;

// A sync byte, then every value as its two nibble bytes.
std::vector<uint8_t> framed(bool data, const std::vector<uint8_t>& values) {
    std::vector<uint8_t> bytes{data ? St7920Emulator::kDataSync : St7920Emulator::kInstructionSync};
    for (uint8_t value : values) {
        bytes.push_back(value & 0xF0);
        bytes.push_back(static_cast<uint8_t>(value << 4));
    }
    return bytes;
}

// Feeds one value a transfer, each after the time the one before keeps the chip busy.
class PacedSerial {
public:
    explicit PacedSerial(St7920Emulator& chip) : chip_(chip) {}

    void instructions(const std::vector<uint8_t>& values) {
        for (uint8_t value : values) {
            chip_.spiTransfer(false, framed(false, {value}), micros_);
            micros_ += value == 0x01 ? 1700 : 100;
        }
    }
    void data(const std::vector<uint8_t>& values) {
        for (uint8_t value : values) {
            chip_.spiTransfer(false, framed(true, {value}), micros_);
            micros_ += 100;
        }
    }

private:
    St7920Emulator& chip_;
    uint64_t micros_ = 0;
};

// Sixteen pixels of a row, b15 leftmost, as the two bytes of a GDRAM word.
std::vector<uint8_t> wordBytes(const test::Picture& picture, int x, int y) {
    uint16_t word = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (picture(x + bit, y)) word |= static_cast<uint16_t>(0x8000 >> bit);
    return {static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)};
}

// Text cleared, display on, graphics on.
void setUp(PacedSerial& serial) { serial.instructions({0x30, 0x0C, 0x01, 0x34, 0x36}); }

// The datasheet's order: one address a row pair, then row v (words 0-7) and row v + 32 (words 8-15).
void sendRowPairs(PacedSerial& serial) {
    for (int v = 0; v < 32; ++v) {
        serial.instructions({static_cast<uint8_t>(0x80 | v), 0x80});
        for (int half = 0; half < 2; ++half)
            for (int x = 0; x < 128; x += 16) serial.data(wordBytes(lopsided, x, v + 32 * half));
    }
}

TEST(EmuSt7920Test, GdramRowPairsAndRowByRowWritesBothFillTheTwoHalves) {
    St7920Emulator pairs(Panel{});
    PacedSerial pairSerial(pairs);
    setUp(pairSerial);
    sendRowPairs(pairSerial);
    EXPECT_EQ(pixelsDiffering(pairs.screen(), lopsided), 0);
    EXPECT_TRUE(pairs.problems().empty()) << pairs.problems().text();

    St7920Emulator rows(Panel{});
    PacedSerial rowSerial(rows);
    setUp(rowSerial);
    for (int y = 0; y < 64; ++y) {
        rowSerial.instructions({static_cast<uint8_t>(0x80 | y % 32), static_cast<uint8_t>(0x80 | (y < 32 ? 0 : 8))});
        for (int x = 0; x < 128; x += 16) rowSerial.data(wordBytes(lopsided, x, y));
    }
    EXPECT_EQ(rows.screen(), pairs.screen());
    EXPECT_EQ(rows.gdramWord(3, 9), pairs.gdramWord(3, 9));
}

TEST(EmuSt7920Test, TheHorizontalAddressWrapsFrom15To0OnTheSameRow) {
    St7920Emulator chip(Panel{});
    PacedSerial serial(chip);
    serial.instructions({0x34, 0x85, 0x8F});
    serial.data({0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(chip.gdramWord(5, 15), 0x1234);
    EXPECT_EQ(chip.gdramWord(5, 0), 0x5678);
}

TEST(EmuSt7920Test, FramingTakesManyPairsAfterOneSyncAndRestartsWhenChipSelectDrops) {
    St7920Emulator chip(Panel{.powerOn = PowerOnRam::Cleared});
    chip.setSpiClockHz(200'000);
    chip.serialBytes(framed(false, {0x34, 0x80, 0x80}), 0);
    chip.setChipSelect(true);
    chip.serialBytes(framed(false, {0x34, 0x81, 0x80}), 0);
    chip.serialBytes(framed(true, {0xAB, 0xCD, 0x12}), 1000);
    chip.setChipSelect(false);
    EXPECT_EQ(chip.gdramWord(1, 0), 0xABCD);
    EXPECT_EQ(chip.problems().total(), 7u) << "the first seven bytes came with chip select low\n" << chip.problems().text();

    St7920Emulator cut(Panel{.powerOn = PowerOnRam::Cleared});
    cut.setSpiClockHz(200'000);
    cut.spiTransfer(false, framed(false, {0x34, 0x80, 0x80}), 0);
    cut.spiTransfer(false, std::vector<uint8_t>{St7920Emulator::kDataSync, 0xA0}, 1000);
    cut.spiTransfer(false, std::vector<uint8_t>{0xB0, 0xC0, 0xD0}, 2000);
    EXPECT_EQ(cut.gdramWord(0, 0), 0) << "a dropped chip select lost the pair";
    EXPECT_EQ(cut.problems().total(), 3u) << "three bytes without a sync\n" << cut.problems().text();

    St7920Emulator tied(Panel{.chipSelectTiedHigh = true, .powerOn = PowerOnRam::Cleared});
    tied.setSpiClockHz(200'000);
    tied.spiTransfer(false, framed(false, {0x34, 0x80, 0x80}), 0);
    tied.spiTransfer(false, std::vector<uint8_t>{St7920Emulator::kDataSync, 0xA0}, 1000);
    tied.spiTransfer(false, std::vector<uint8_t>{0xB0, 0xC0, 0xD0}, 2000);
    EXPECT_EQ(tied.gdramWord(0, 0), 0xABCD) << "with chip select tied high the framing runs on";
    tied.spiTransfer(false, std::vector<uint8_t>{0xFC, 0x30, 0x00}, 3000);
    EXPECT_EQ(tied.problems().total(), 1u) << "a read request on a write-only bus\n" << tied.problems().text();
}

TEST(EmuSt7920Test, ExtendedSetGraphicsAndDisplayOnAreTrackedApart) {
    St7920Emulator chip(Panel{});
    PacedSerial serial(chip);
    setUp(serial);
    sendRowPairs(serial);
    const ScreenImage shown = chip.screen();
    serial.instructions({0x30, 0x80});
    EXPECT_FALSE(chip.extendedSet());
    EXPECT_TRUE(chip.graphicsOn()) << "G stays when the basic set returns";
    serial.data({'H', 'i'});
    EXPECT_EQ(chip.ddramCell(0), 0x4869) << "0x80 in the basic set is a DDRAM address";
    EXPECT_EQ(chip.gdramWord(0, 0), (wordBytes(lopsided, 0, 0)[0] << 8) | wordBytes(lopsided, 0, 0)[1]);
    serial.instructions({0x01});
    EXPECT_EQ(chip.screen(), shown) << "a clear blanks the text and keeps the graphics";
    serial.instructions({0x34});
    EXPECT_EQ(chip.screen().litCount(), 0) << "0x34 turns graphics off";
    EXPECT_EQ(chip.memoryImage().litCount(), 0);
    serial.instructions({0x36, 0x01});
    EXPECT_EQ(chip.screen().litCount(), 0) << "extended 0x01 is standby";
    EXPECT_EQ(chip.memoryImage(), shown);
    serial.instructions({0x30, 0x08});
    EXPECT_FALSE(chip.displayOn());
    EXPECT_EQ(chip.screen().litCount(), 0);
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

// A font whose characters show their code in their top row and a full bottom row; the space is blank.
uint8_t codeFont(uint8_t code, int row) { return code == ' ' ? 0 : row == 0 ? code : row == 15 ? 0xFF : 0; }

TEST(EmuSt7920Test, TextCellsOfTheFourLinesLandInTheHalvesAndMixWithGraphicsByXor) {
    St7920Emulator chip(Panel{.font = codeFont, .powerOn = PowerOnRam::Cleared});
    PacedSerial serial(chip);
    serial.instructions({0x30, 0x0C, 0x01});
    const std::pair<uint8_t, int> lines[] = {{0x80, 0}, {0x90, 16}, {0x88, 32}, {0x98, 48}};
    for (const auto& [address, top] : lines) {
        serial.instructions({address});
        serial.data({'A', 'B'});
        const ScreenImage image = chip.screen();
        EXPECT_TRUE(image.pixel(1, top) && image.pixel(7, top) && image.pixel(9, top) && image.pixel(14, top)) << "line " << top;
        EXPECT_FALSE(image.pixel(8, top));
        EXPECT_TRUE(image.pixel(0, top + 15) && image.pixel(15, top + 15));
    }
    EXPECT_EQ(chip.screen().litCount(), 4 * (4 + 16));

    serial.instructions({0x34, 0x80, 0x80, 0x36});
    serial.data({0xFF, 0xFF});
    EXPECT_FALSE(chip.screen().pixel(1, 0)) << "text over graphics: exclusive or";
    EXPECT_TRUE(chip.screen().pixel(0, 0));

    serial.instructions({0x04});
    EXPECT_TRUE(chip.screen().pixel(1, 0)) << "reversing line 0 inverts its rows";
    EXPECT_FALSE(chip.screen().pixel(1, 32)) << "which the right half shows below";
    EXPECT_TRUE(chip.memoryImage().pixel(1, 32)) << "the memory image leaves reversing out";
    serial.instructions({0x04});
    EXPECT_TRUE(chip.screen().pixel(1, 32));

    serial.instructions({0x30, 0x40 | 16 | 2});
    serial.data({0x81, 0x80});
    serial.instructions({0x84});
    serial.data({0x00, 0x02});
    const ScreenImage custom = chip.screen();
    EXPECT_TRUE(custom.pixel(64, 2) && custom.pixel(64 + 7, 2) && custom.pixel(64 + 8, 2));
    EXPECT_FALSE(custom.pixel(64 + 1, 2)) << "code 0x0002 is CGRAM character 1";
    EXPECT_TRUE(chip.problems().empty()) << chip.problems().text();
}

TEST(EmuSt7920Test, BytesCloserThanTheInstructionTimeAreLogged) {
    St7920Emulator fast(Panel{});
    fast.setSpiClockHz(2'000'000);
    fast.spiTransfer(false, framed(false, {0x30, 0x0C}), 0);
    ASSERT_EQ(fast.problems().total(), 1u);
    EXPECT_NE(fast.problems().messages()[0].find("needs 72 us"), std::string::npos) << fast.problems().text();

    St7920Emulator paced(Panel{});
    paced.setSpiClockHz(200'000);
    paced.spiTransfer(false, framed(false, {0x34}), 0);
    paced.spiTransfer(false, framed(false, {0x80, 0x80}), 200);
    paced.spiTransfer(false, framed(true, std::vector<uint8_t>(32, 0x55)), 400);
    EXPECT_TRUE(paced.problems().empty()) << "at 200 kHz a stream paces itself\n" << paced.problems().text();

    St7920Emulator clear(Panel{});
    clear.spiTransfer(false, framed(false, {0x01}), 0);
    clear.spiTransfer(false, framed(false, {0x0C}), 1000);
    EXPECT_EQ(clear.problems().total(), 1u) << "1 ms after a clear is too soon";
    clear.spiTransfer(false, framed(false, {0x01}), 2000);
    clear.spiTransfer(false, framed(false, {0x0C}), 3700);
    EXPECT_EQ(clear.problems().total(), 1u) << clear.problems().text();

    St7920Emulator overclocked(Panel{});
    overclocked.setSpiClockHz(8'000'000);
    EXPECT_EQ(overclocked.problems().total(), 1u);
}

} // namespace
} // namespace tessaranth::emu
