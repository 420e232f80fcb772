// SPDX-License-Identifier: GPL-2.0-or-later
// The serial displays end to end: the plug-in drives each new controller through its I2C or
// SPI link and the platform's bus code into the host's bus services, where the chip's emulator
// decodes the bytes as they would go on the wire.
#include "AllocationCounter.h"
#include "BusServicesAdapter.h"
#include "EmulatedPlugin.h"
#include "GoldenPicture.h"
#include "SerialChips.h"

#include "controllers/ShadowPageController.h"
#include "emu/Ssd1322Emulator.h"
#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "platform/BusDevice.h"
#include "settings/Settings.h"

#include <algorithm>
#include <thread>

namespace tessaranth::test {
namespace {

using Chip = SerialChip;

const std::span<const Chip> chips = serialChips();

class SerialDisplay : public EmulatedPlugin, public ::testing::WithParamInterface<Chip> {
protected:
    void attach(const Chip& chip) {
        chip_ = chip.make();
        bus = std::make_unique<BusServicesAdapter>(*chip_);
        bus->spiGapMicros = chip.spiGapMicros;
        services_ = bus->services();
        tessaranthSetHostServices(&services_);
        Settings& s = *gSettings;
        s.setController(chip.controller);
        s.setDisplayFormat(chip.displayFormat);
        const DisplaySize size = displaySize(chip.displayFormat);
        placeFields(size.width, size.height, false);
    }
    void TearDown() override {
        EmulatedPlugin::TearDown();
        tessaranthSetHostServices(nullptr);
    }

    const ShadowPageController& driver() const { return dynamic_cast<const ShadowPageController&>(*gController); }

    // Pixels where what the chip's memory shows differs from the picture the drawing parts made.
    int differingPixels() const {
        const emu::ScreenImage memory = chip_->memoryImage();
        const ShadowPageController& d = driver();
        int count = 0;
        for (int y = 0; y < d.height(); ++y)
            for (int x = 0; x < d.width(); ++x) count += memory.pixel(x, y) != d.pixel(x, y) ? 1 : 0;
        return count;
    }

    // The wire bytes of each of `count` frames.
    std::vector<uint64_t> frameBytes(int count) {
        std::vector<uint64_t> bytes;
        for (int i = 0; i < count; ++i) {
            const uint64_t before = bus->wireBytes();
            render(1);
            bytes.push_back(bus->wireBytes() - before);
        }
        return bytes;
    }

    // The messages that name the bus device.
    std::vector<std::string> deviceBoxes() const {
        std::vector<std::string> found;
        for (const std::string& box : bus->boxes())
            if (box.find("/dev/") != std::string::npos) found.push_back(box);
        return found;
    }

    void expectUnderstood() const {
        EXPECT_TRUE(chip_->problems().empty()) << chip_->problems().text();
    }

    std::unique_ptr<emu::BusEmulator> chip_;
    std::unique_ptr<BusServicesAdapter> bus;

private:
    TessaranthHostServices services_{};
};

TEST_P(SerialDisplay, EveryFrameLeavesInMemoryThePictureDrawnAndTheGoldenPictureShows) {
    attach(GetParam());
    playStandardTrack();
    init();
    EXPECT_EQ(differingPixels(), 0) << "after start";
    for (int frame = 1; frame <= 12; ++frame) {
        render(1);
        EXPECT_EQ(differingPixels(), 0) << "frame " << frame;
        if (frame == 6) player.positionMillis += 1000;  // the time changes
    }
    expectUnderstood();
    EXPECT_TRUE(deviceBoxes().empty()) << deviceBoxes().front();
    expectGoldenPicture(*chip_, GetParam().name);
}

// A settled scene sends nothing until the periodic refresh sends it whole; no frame sends more.
TEST_P(SerialDisplay, IdleFramesSendNothingAndNoFrameMoreThanAFullRedraw) {
    attach(GetParam());
    playStandardTrack();
    init();
    const std::vector<uint64_t> bytes = frameBytes(ShadowPageController::refreshFrames);
    const uint64_t fullRedraw = bytes.back();
    const int pixels = driver().width() * driver().height();
    EXPECT_GE(fullRedraw, static_cast<uint64_t>(pixels / 8)) << "the refresh frame sends the whole picture";
    EXPECT_EQ(*std::max_element(bytes.begin(), bytes.end()), fullRedraw);
    EXPECT_TRUE(std::all_of(bytes.end() - 60, bytes.end() - 1, [](uint64_t b) { return b == 0; }))
        << "a settled scene still sends bytes";
    std::printf("%s: full redraw %llu wire bytes, first frame %llu\n", GetParam().name,
                static_cast<unsigned long long>(fullRedraw), static_cast<unsigned long long>(bytes.front()));
    expectUnderstood();
}

TEST_P(SerialDisplay, AScrollingTitleSendsASmallFractionOfAFullRedraw) {
    attach(GetParam());
    Settings& s = *gSettings;
    s.setShowAnalyzer(0);
    s.setShowScope(0);
    s.setShowVUMeter(0);
    s.setScrollTitle(1);
    s.setTitleLength(14);
    playStandardTrack();
    init();
    const std::vector<uint64_t> bytes = frameBytes(ShadowPageController::refreshFrames);
    const uint64_t fullRedraw = bytes.back();
    const uint64_t most = *std::max_element(bytes.begin() + 2, bytes.end() - 1);
    uint64_t sum = 0;
    for (auto it = bytes.begin() + 2; it != bytes.end() - 1; ++it) sum += *it;
    EXPECT_GT(most, 0u) << "the title scrolls";
    // The goal on the 128x64 panels; a 32-row panel has too few pages beside the title's.
    if (driver().height() >= 64) {
        EXPECT_LE(most * 10, fullRedraw);
    }
    std::printf("%s: scrolling title at most %llu wire bytes a frame, %.1f on average, full redraw %llu\n", GetParam().name,
                static_cast<unsigned long long>(most), static_cast<double>(sum) / static_cast<double>(bytes.size() - 3),
                static_cast<unsigned long long>(fullRedraw));
    EXPECT_EQ(differingPixels(), 0);
    expectUnderstood();
}

// Frames with changes and the periodic refresh, through the links and the bus code.
TEST_P(SerialDisplay, AFrameAllocatesNothing) {
    attach(GetParam());
    gSettings->setScrollTitle(1);
    gSettings->setTitleLength(14);
    playStandardTrack();
    init();
    render(2);
    player.sent.reserve(player.sent.size() + 4000);  // the fake player's own log of the messages
    const uint64_t before = allocationCount();
    render(ShadowPageController::refreshFrames + 4);
    EXPECT_EQ(allocationCount() - before, 0u);
}

// The device goes away mid-run: one message, the frames go on, and when it answers again it
// gets the whole picture.
TEST_P(SerialDisplay, AVanishingDeviceIsReportedOnceAndGetsThePictureBack) {
    attach(GetParam());
    playStandardTrack();
    init();
    render(3);
    bus->vanished = true;
    player.windowTitle = "7. Ion Brask - Tides - Winamp";
    player.positionMillis += 5000;
    render(5);
    ASSERT_EQ(deviceBoxes().size(), 1u);
    EXPECT_GT(differingPixels(), 0) << "the new title went nowhere";
    bus->vanished = false;
    std::this_thread::sleep_for(platform::BusDevice::defaultRetryInterval + std::chrono::milliseconds(50));
    render(2);
    ASSERT_EQ(deviceBoxes().size(), 2u) << ::testing::PrintToString(bus->boxes());
    EXPECT_NE(deviceBoxes().back().find("answers again"), std::string::npos) << deviceBoxes().back();
    EXPECT_EQ(differingPixels(), 0);
    expectUnderstood();
}

INSTANTIATE_TEST_SUITE_P(Controllers, SerialDisplay, ::testing::ValuesIn(chips), [](const ::testing::TestParamInfo<Chip>& chip) {
    std::string name = chip.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

// The SSD1322's brightness is its contrast current, and stays so when the display comes back.
TEST_F(SerialDisplay, TheSsd1322ShowsTheBrightnessAsItsContrast) {
    attach(chips[5]);
    gSettings->setBrightness(5);
    playStandardTrack();
    init();
    const auto& chip = dynamic_cast<const emu::Ssd1322Emulator&>(*chip_);
    EXPECT_EQ(chip.contrast(), 5 * 17);
    bus->vanished = true;
    render(2);
    bus->vanished = false;
    bus->chip().resetPulse();  // it lost power meanwhile
    std::this_thread::sleep_for(platform::BusDevice::defaultRetryInterval + std::chrono::milliseconds(50));
    render(1);
    EXPECT_EQ(chip.contrast(), 5 * 17);
    EXPECT_TRUE(chip.displayOn());
    EXPECT_EQ(differingPixels(), 0);
    expectUnderstood();
}

// The emulator's timing check is what guards the ST7920's 72 us: without the pace it objects.
TEST_F(SerialDisplay, TheSt7920ObjectsToInstructionsWithoutTheirTime) {
    Chip unpaced = chips[4];
    unpaced.spiGapMicros = 0;
    attach(unpaced);
    playStandardTrack();
    init();
    render(1);
    EXPECT_FALSE(chip_->problems().empty());
}

} // namespace
} // namespace tessaranth::test
