// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/Sh1106Emulator.h"
#include "emu/Ssd1306Emulator.h"
#include "emu/Ssd1322Emulator.h"
#include "emu/St7920Emulator.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <random>

namespace tessaranth::emu {
namespace {

struct Chip {
    const char* name;
    std::function<std::unique_ptr<BusEmulator>()> make;
    uint32_t fastestClock;
};

void PrintTo(const Chip& chip, std::ostream* out) { *out << chip.name; }

class EmuBusEmulatorTest : public ::testing::TestWithParam<Chip> {};

TEST_P(EmuBusEmulatorTest, ArbitraryTrafficOnEveryInterfaceStaysInsideTheChip) {
    const std::unique_ptr<BusEmulator> chip = GetParam().make();
    const ScreenImage before = chip->screen();
    std::mt19937 random(29);
    std::vector<uint8_t> bytes(300);
    for (int round = 0; round < 400; ++round) {
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        const std::span<const uint8_t> some = std::span<const uint8_t>(bytes).first(random() % bytes.size());
        switch (round % 4) {
        case 0: chip->i2cMessage(0x3C, some); break;
        case 1: chip->spiTransfer(false, some, static_cast<uint64_t>(round) * 1000); break;
        case 2: chip->spiTransfer(true, some, static_cast<uint64_t>(round) * 1000); break;
        default:
            if (round % 40 == 3) chip->resetPulse();
        }
        const ScreenImage screen = chip->screen();
        ASSERT_EQ(screen.width(), before.width());
        ASSERT_EQ(screen.height(), before.height());
        ASSERT_EQ(chip->memoryImage().width(), before.width());
    }
    EXPECT_LE(chip->problems().messages().size(), ProblemLog::kKept);
}

TEST_P(EmuBusEmulatorTest, AResetTurnsTheDisplayOffAndKeepsMemory) {
    const std::unique_ptr<BusEmulator> chip = GetParam().make();
    const ScreenImage memory = chip->memoryImage();
    EXPECT_EQ(chip->screen().litCount(), 0) << "the display is off at power-on";
    EXPECT_GT(memory.litCount(), 0) << "memory holds what it happens to hold";
    chip->resetPulse();
    EXPECT_EQ(chip->memoryImage(), memory);
    EXPECT_TRUE(chip->problems().empty()) << chip->problems().text();
}

TEST_P(EmuBusEmulatorTest, AClockBeyondTheChipsRatingIsLogged) {
    const std::unique_ptr<BusEmulator> chip = GetParam().make();
    chip->setSpiClockHz(GetParam().fastestClock);
    EXPECT_TRUE(chip->problems().empty()) << chip->problems().text();
    chip->setSpiClockHz(GetParam().fastestClock + 1);
    EXPECT_EQ(chip->problems().total(), 1u);
    EXPECT_EQ(chip->spiClockHz(), GetParam().fastestClock + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Chips, EmuBusEmulatorTest,
    ::testing::Values(Chip{"SSD1306", [] { return std::make_unique<Ssd1306Emulator>(Ssd1306Emulator::Panel{}); }, 10'000'000},
                      Chip{"SSD1309",
                           [] { return std::make_unique<Ssd1306Emulator>(Ssd1306Emulator::Panel{.chip = Ssd1306Emulator::Chip::Ssd1309}); },
                           10'000'000},
                      Chip{"SH1106", [] { return std::make_unique<Sh1106Emulator>(Sh1106Emulator::Panel{}); }, 8'000'000},
                      Chip{"SSD1322", [] { return std::make_unique<Ssd1322Emulator>(Ssd1322Emulator::Panel{}); }, 10'000'000},
                      Chip{"ST7920", [] { return std::make_unique<St7920Emulator>(St7920Emulator::Panel{}); }, 2'500'000}),
    [](const ::testing::TestParamInfo<Chip>& chip) { return std::string(chip.param.name); });

} // namespace
} // namespace tessaranth::emu
