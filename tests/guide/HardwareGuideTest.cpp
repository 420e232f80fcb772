// SPDX-License-Identifier: GPL-2.0-or-later
// The hardware guide's wiring tables: which presets suit which controller, and the rewriting of
// the generated part of the document.
#include "HardwareGuide.h"
#include "PiHeaderGuide.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "controllers/DriverOptions.h"
#include "controllers/PiHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessaranth;
using namespace tessaranth::guide;

namespace {

const ControllerWiring& wiringOf(uint8_t controller) {
    for (const ControllerWiring& wiring : controllerWirings())
        if (wiring.controller == controller) return wiring;
    throw std::logic_error("no wiring for controller " + std::to_string(controller));
}

std::vector<std::size_t> suitablePresets(const ControllerWiring& wiring) {
    std::vector<std::size_t> presets;
    for (std::size_t preset = 0; preset < wiringPresetLines.size(); ++preset)
        if (wiringPresetLines[preset][0] >= 0 && fitPreset(wiring, preset).problem.empty()) presets.push_back(preset);
    return presets;
}

} // namespace

TEST(HardwareGuide, PresetsSuitTheControllersWhoseFixedLinesTheyKeep) {
    // Every board preset places every signal of the two controllers that follow the settings.
    const std::vector<std::size_t> all = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(suitablePresets(wiringOf(0)), all);
    EXPECT_EQ(suitablePresets(wiringOf(1)), all);
    // RS (KS0108B) and C/D (Noritake) stay on pin 17 and CSS on pin 1: the two SED1330 boards'
    // cables put other signals there.
    const std::vector<std::size_t> pin17OnSelect = {1, 2, 4, 6};
    EXPECT_EQ(suitablePresets(wiringOf(3)), pin17OnSelect);
    EXPECT_EQ(suitablePresets(wiringOf(5)), pin17OnSelect);
    EXPECT_EQ(fitPreset(wiringOf(3), 3).problem, "RS is always on pin 17, the preset puts it on pin 16");
    EXPECT_EQ(fitPreset(wiringOf(5), 5).problem, "CSS is always on pin 1, the preset puts it on pin 14");
}

TEST(HardwareGuide, PinsFollowThePresetExceptWhereTheDriverKeepsALine) {
    // "Fenwold (KS0108B)": CS on Strobe, A0 on Select, WR on Line, RD on Init.
    EXPECT_EQ(fitPreset(wiringOf(0), 2).pins, (std::array<int, 4>{1, 17, 14, 16}));
    // "PowerLCD (SED1330)" on its own controller: CS on Line, A0 on Init, WR on Strobe, RD on Select.
    EXPECT_EQ(fitPreset(wiringOf(1), 3).pins, (std::array<int, 4>{14, 16, 1, 17}));
    // The Noritake's fixed lines win over a preset that names them elsewhere.
    EXPECT_EQ(fitPreset(wiringOf(5), 3).pins, (std::array<int, 4>{1, 17, 1, 17}));
}

TEST(HardwareGuide, OnlyTheGeneratedPartOfTheDocumentIsRewritten) {
    const std::string before = "# Guide\n\nhand-written text\n\n";
    const std::string after = "\n\n## More\nmore hand-written text\n";
    const std::string stale = before + std::string(sectionStart) + "\nold tables\n" + std::string(sectionEnd) + after;

    const auto fresh = withWiringSection(stale);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, before + wiringSection() + after);
    EXPECT_EQ(withWiringSection(*fresh), fresh) << "a current document stays as it is";
    EXPECT_NE(fresh->find("| \"Pollin (SED1330)\" | Line (pin 14) | Init (pin 16) | Strobe (pin 1) | Select (pin 17) |"),
              std::string::npos);

    EXPECT_FALSE(withWiringSection(before + after));
    EXPECT_FALSE(withWiringSection(before + std::string(sectionStart) + after)) << "no end marker";
    EXPECT_FALSE(withWiringSection(std::string(sectionEnd) + before + std::string(sectionStart))) << "end before start";
}

TEST(PiHeaderGuide, TheHeaderTableHasEveryPinOnceAndEveryGpioOfTheHeaderOnce) {
    std::set<int> pins, gpios;
    for (const piheader::HeaderPin& pin : piheader::pins) {
        EXPECT_TRUE(pins.insert(pin.pin).second) << "pin " << int(pin.pin);
        if (pin.gpio >= 0) {
            EXPECT_TRUE(gpios.insert(pin.gpio).second) << "GPIO " << int(pin.gpio);
        }
    }
    EXPECT_EQ(pins.size(), 40u);
    EXPECT_EQ(*pins.begin(), 1);
    EXPECT_EQ(*pins.rbegin(), 40);
    EXPECT_EQ(gpios.size(), 28u) << "GPIO 0 to 27";
    EXPECT_EQ(*gpios.rbegin(), 27);
    EXPECT_EQ(piheader::pinWith("I2C1 SDA")->pin, 3);
    EXPECT_EQ(piheader::pinOfGpio(piheader::dcLine)->pin, 18);
    EXPECT_EQ(piheader::pinOfGpio(28), nullptr);
}

TEST(PiHeaderGuide, EveryDisplaySignalHasAPinOfItsOwnAndTheDefaultsAreTheSettingsDefaults) {
    const std::vector<HeaderWiring> wirings = headerWirings();
    std::set<std::string> displays;
    for (const HeaderWiring& wiring : wirings) {
        std::map<int, std::string> taken;
        for (const HeaderConnection& connection : wiring.connections) {
            const int pin = headerPin(connection);
            ASSERT_NE(pin, 0) << connection.signal << " of " << wiring.heading;
            if (connection.function == "GND" || connection.function.ends_with(" V")) continue;
            EXPECT_TRUE(taken.emplace(pin, connection.signal).second)
                << wiring.heading << ": " << connection.signal << " and " << taken[pin] << " on pin " << pin;
        }
        displays.insert(wiring.heading);
    }
    // Every controller off the PC's port is in the guide.
    for (const ControllerRow& row : controllerTable)
        if (row.transport == Transport::spi) {
            EXPECT_TRUE(displays.count(std::string(row.name) + " on SPI")) << row.name;
        }
    EXPECT_TRUE(displays.count("SSD1306, SSD1309 and SH1106 on I2C"));

    // The SSD1322's D/C and reset where the bus settings put them by default.
    const BusSetup defaults{};
    const HeaderWiring& ssd1322 = *std::find_if(wirings.begin(), wirings.end(), [](const HeaderWiring& w) {
        return w.heading == "SSD1322 on SPI";
    });
    const auto gpioOf = [&](const std::string& signal) {
        for (const HeaderConnection& connection : ssd1322.connections)
            if (connection.signal == signal) return connection.gpio;
        return -2;
    };
    EXPECT_EQ(gpioOf("D/C"), defaults.dc.offset);
    EXPECT_EQ(gpioOf("RES"), defaults.reset.offset);

    // The parallel controllers' suggested lines keep off every bus of the header.
    for (int32_t line : piheader::parallelData) EXPECT_STREQ(piheader::pinOfGpio(line)->function, "") << "GPIO " << line;
    for (int32_t line : piheader::parallelControl) EXPECT_STREQ(piheader::pinOfGpio(line)->function, "") << "GPIO " << line;
}

TEST(PiHeaderGuide, BothGeneratedPartsAreRewrittenAndBothMarkersAreNeeded) {
    const std::string wiring = std::string(sectionStart) + "\nold\n" + std::string(sectionEnd);
    const std::string pi = std::string(piSectionStart) + "\nold\n" + std::string(piSectionEnd);
    const auto fresh = withGeneratedSections("# Guide\n" + wiring + "\n## Pi\n" + pi + "\nend\n");
    ASSERT_TRUE(fresh);
    EXPECT_EQ(*fresh, "# Guide\n" + wiringSection() + "\n## Pi\n" + piHeaderSection() + "\nend\n");
    EXPECT_NE(fresh->find("| 18 | GPIO 24 | D/C of the SSD1322; Init (pin 16) of a parallel controller |"), std::string::npos);
    EXPECT_NE(fresh->find("| SDA | 3 | GPIO 2 (I2C1 SDA) |"), std::string::npos);
    EXPECT_FALSE(withGeneratedSections("# Guide\n" + wiring + "\n")) << "no Raspberry Pi markers";
    EXPECT_FALSE(withGeneratedSections(pi)) << "no wiring markers";
}
