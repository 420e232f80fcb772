// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ParallelPort.h"
#include "emu/StrobedBus.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tessaranth::emu {
namespace {

// Records what reaches the chip, and answers reads with a byte that tells the line level.
class RecordingChip : public StrobedChip {
public:
    void writeCommand(uint8_t byte) override { writes.emplace_back(true, byte); }
    void writeData(uint8_t byte) override { writes.emplace_back(false, byte); }
    std::optional<uint8_t> busRead(bool lineHigh) override {
        ++reads;
        return lineHigh ? uint8_t{0xC3} : uint8_t{0xDA};
    }
    std::vector<std::pair<bool, uint8_t>> writes;
    int reads = 0;
};

// The cable of the common adapter boards: CE on pin 1, C/D on pin 17, WR on pin 16, RD on pin 14.
constexpr Wiring kBoardWiring{PortPin::Strobe, PortPin::SelectIn, PortPin::Init, PortPin::AutoFeed};

class EmuParallelPortTest : public ::testing::Test {
protected:
    RecordingChip chip;
    StrobedBus bus{chip};
    ProblemLog problems;
    ParallelPort port{0x378, kBoardWiring, bus, problems};

    void control(uint8_t value) { port.write(0x37A, value); }
};

TEST_F(EmuParallelPortTest, PinLevelsAreTheControlBitsWithPins1_14And17Inverted) {
    control(0x04);
    EXPECT_EQ(port.pinLevels(), 0x0F);
    control(0x00);
    EXPECT_EQ(port.pinLevels(), 0x0B);
    control(0x0B);
    EXPECT_EQ(port.pinLevels(), 0x00);
    control(0x21);  // the direction bit is no pin
    EXPECT_EQ(port.pinLevels(), 0x0A);
}

TEST_F(EmuParallelPortTest, AWriteIsLatchedWhenTheStrobeEndsWithTheDataOnTheLinesThen) {
    // Idle 4, C/D low (bit 3), CE low (bit 0), WR low (bit 2), release WR, release CE.
    control(0x04);
    control(0x0C);
    port.write(0x378, 0x5A);
    control(0x0D);
    control(0x09);
    EXPECT_TRUE(chip.writes.empty()) << "nothing is latched while the strobe is active";
    port.write(0x378, 0xA5);  // the byte on the lines when the strobe ends counts
    control(0x0D);
    ASSERT_EQ(chip.writes.size(), 1u);
    EXPECT_EQ(chip.writes[0], std::make_pair(false, uint8_t{0xA5}));
    control(0x0C);
    EXPECT_EQ(chip.writes.size(), 1u) << "releasing CE after WR is the same cycle";
}

TEST_F(EmuParallelPortTest, ACycleEndsByChipSelectAsWellAndKeepsTheCommandLineLevelOfTheCycle) {
    control(0x04);              // C/D high: a command
    port.write(0x378, 0x98);
    control(0x01);  // CE and WR low together
    control(0x08);  // CE released in the same write that drops C/D; WR stays low
    ASSERT_EQ(chip.writes.size(), 1u);
    EXPECT_EQ(chip.writes[0], std::make_pair(true, uint8_t{0x98}));
}

TEST_F(EmuParallelPortTest, WithoutChipSelectTheWriteStrobeDoesNothing) {
    control(0x04);
    control(0x00);  // WR low, CE high
    control(0x04);
    EXPECT_TRUE(chip.writes.empty());
}

TEST_F(EmuParallelPortTest, AReadCycleShowsTheChipOnTheDataLinesOnlyWhenThePortIsTurnedToInput) {
    control(0x04);
    control(0x04 | 0x01 | 0x02 | 0x20);  // CE and RD low, C/D high, data lines in
    EXPECT_EQ(port.read(0x378), 0xC3);
    EXPECT_EQ(chip.reads, 1);
    EXPECT_EQ(port.read(0x378), 0xC3) << "one cycle, one answer";
    EXPECT_EQ(chip.reads, 1);
    control(0x04 | 0x20);
    port.write(0x378, 0x11);
    control(0x04 | 0x01 | 0x02);  // a read cycle with the port still driving
    EXPECT_EQ(port.read(0x378), 0x11);
}

TEST_F(EmuParallelPortTest, StatusAndControlReadBack) {
    EXPECT_EQ(port.read(0x379), ParallelPort::kIdleStatus);
    control(0x2C);
    EXPECT_EQ(port.read(0x37A), 0x2C);
    EXPECT_TRUE(problems.empty());
}

TEST_F(EmuParallelPortTest, WritesOutsideThePortAndToTheStatusRegisterAreReported) {
    port.write(0x278, 1);
    port.write(0x379, 2);
    port.read(0x3BC);
    ASSERT_EQ(problems.total(), 3u);
    EXPECT_NE(problems.messages()[0].find("0x0278"), std::string::npos);
    EXPECT_NE(problems.messages()[1].find("status"), std::string::npos);
    EXPECT_TRUE(chip.writes.empty());
}

TEST(EmuWireChoiceTest, SettingsCodesNameThePins) {
    EXPECT_EQ(pinOfWireChoice(0), PortPin::Strobe);
    EXPECT_EQ(pinOfWireChoice(1), PortPin::AutoFeed);
    EXPECT_EQ(pinOfWireChoice(2), PortPin::Init);
    EXPECT_EQ(pinOfWireChoice(3), PortPin::SelectIn);
    EXPECT_EQ(pinOfWireChoice(4), PortPin::None);
}

TEST(EmuUnconnectedSignalTest, AnUnwiredSignalFloatsHighSoAnUnwiredChipSelectNeverSelects) {
    RecordingChip chip;
    StrobedBus bus{chip};
    ProblemLog problems;
    ParallelPort port{0x378, {PortPin::None, PortPin::SelectIn, PortPin::Init, PortPin::AutoFeed}, bus, problems};
    port.write(0x37A, 0x04);
    port.write(0x37A, 0x00);
    port.write(0x37A, 0x04);
    EXPECT_TRUE(chip.writes.empty());
}

} // namespace
} // namespace tessaranth::emu
