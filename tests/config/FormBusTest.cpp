// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormFixture.h"

#include "controllers/PiHeader.h"
#include "globals/Globals.h"
#include "settings/BusFields.h"
#include "settings/Settings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

using FormBus = FormFixture;

// The names of the shown (and, with enabledOnly, enabled) named controls of the bus group.
std::vector<std::string> busControls(const TConfigForm& form, bool enabledOnly) {
    std::vector<std::string> names;
    for (const ControlSpec& c : formControls()) {
        if (c.bus == BusUse::none || c.name.empty()) continue;
        const ControlState& s = form.state(c.name);
        if (s.visible && (!enabledOnly || s.enabled)) names.emplace_back(c.name);
    }
    return names;
}

TEST_F(FormBus, TheGroupShowsTheChosenControllersTransport) {
    choose("ControllerChoice", 7);  // SSD1306 on I2C
    EXPECT_EQ(busControls(*form, false),
              (std::vector<std::string>{"I2C device", "I2C address", "SH1106 column offset", "BusPreset"}));
    EXPECT_EQ(busControls(*form, true), (std::vector<std::string>{"I2C device", "I2C address", "BusPreset"}));
    choose("ControllerChoice", 9);  // SH1106: its first column too
    EXPECT_TRUE(state("SH1106 column offset").enabled);
    choose("ControllerChoice", 11);  // SSD1322 on SPI
    EXPECT_EQ(busControls(*form, true),
              (std::vector<std::string>{"SPI device", "SPI speed", "D/C line", "Reset line"}));
    choose("ControllerChoice", 10);  // ST7920: no D/C line, its bytes say what they are
    EXPECT_EQ(busControls(*form, true), (std::vector<std::string>{"SPI device", "SPI speed", "Reset line"}));
    EXPECT_TRUE(state("D/C line").visible);
    choose("ControllerChoice", 6);  // the USB adapter needs none
    EXPECT_TRUE(busControls(*form, false).empty());
    choose("ControllerChoice", 3);  // KS0108B: the LPT port, or GPIO lines once ticked
    EXPECT_EQ(busControls(*form, true), (std::vector<std::string>{"Parallel on GPIO", "BusPreset"}));
    toggleByKey("Parallel on GPIO");
    EXPECT_EQ(gSettings->bus().parallelOnGpio, 1);
    EXPECT_EQ(busControls(*form, true), (std::vector<std::string>{"Parallel on GPIO", "GPIO chip", "BusPreset"}));
    EXPECT_FALSE(state("BusNote").visible);  // every bus is there on Linux
}

TEST_F(FormBus, TypedValuesAreStoredWithinTheirLimitsOnly) {
    type("I2C address", "0x3d");
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3D);
    type("I2C address", "0x78");  // a reserved address
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3D);
    EXPECT_TRUE(view.errors.empty());  // not while typing
    form->editExited(control("I2C address"));
    EXPECT_EQ(view.errors, (std::vector<std::string>{"'0x78' is not a valid I2C address (0x03 to 0x77)"}));
    EXPECT_EQ(state("I2C address").text, "0x3D");  // the stored value again
    type("I2C address", "61");
    EXPECT_EQ(gSettings->bus().i2cAddress, 61);

    type("SPI speed", "20000000");
    EXPECT_EQ(gSettings->bus().spiSpeedHz, 20'000'000u);
    for (const char* wrong : {"999", "125000001", "", "8 MHz", "-5", "0x"}) {
        type("SPI speed", wrong);
        EXPECT_EQ(gSettings->bus().spiSpeedHz, 20'000'000u) << wrong;
    }
    form->editExited(control("SPI speed"));
    EXPECT_EQ(view.errors.back(), "'0x' is not a valid SPI speed (1000 to 125000000)");
    type("SH1106 column offset", "5");
    EXPECT_EQ(gSettings->bus().sh1106ColumnOffset, 2);
    type("D/C line", "-1");
    EXPECT_EQ(gSettings->bus().dc.offset, -1);
    type("Reset line", "65536");
    EXPECT_EQ(gSettings->bus().reset.offset, 25);

    type("SPI device", "/dev/spidev1.2");
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev1.2");
    type("SPI device", "");
    type("I2C device", std::string(busDeviceSize, 'x'));  // no room for its end
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev1.2");
    EXPECT_STREQ(gSettings->bus().i2cDevice, "/dev/i2c-1");
    form->editExited(control("I2C device"));
    EXPECT_EQ(view.errors.back(), "'" + std::string(busDeviceSize, 'x') + "' is not a valid I2C device (1 to 63 characters)");
    EXPECT_EQ(state("I2C device").text, "/dev/i2c-1");
}

TEST_F(FormBus, ThePiPresetFillsTheHeadersLinesAndKeepsTheRest) {
    type("I2C device", "/dev/i2c-7");
    type("I2C address", "0x3D");
    type("D/C line", "4");
    choose("BusPreset", 1);
    const BusSettings bus = gSettings->bus();
    EXPECT_STREQ(bus.i2cDevice, piheader::i2cDevice);
    EXPECT_EQ(bus.i2cAddress, 0x3D);
    EXPECT_EQ(bus.dc.offset, piheader::dcLine);
    EXPECT_EQ(bus.reset.offset, piheader::resetLine);
    EXPECT_TRUE(std::equal(piheader::parallelData.begin(), piheader::parallelData.end(), bus.dataLines));
    EXPECT_TRUE(std::equal(piheader::parallelControl.begin(), piheader::parallelControl.end(), bus.controlLines));
    EXPECT_EQ(state("I2C device").text, "/dev/i2c-1");
    EXPECT_EQ(state("D/C line").text, "24");
    EXPECT_EQ(state("BusPreset").selected, 0);
}

TEST_F(FormBus, SaveSettingsStoresTheBusAndGetSettingsBringsItBack) {
    type("I2C address", "0x3D");
    type("SPI device", "/dev/spidev0.1");
    type("Reset line", "4");
    press("SaveButton");
    ASSERT_EQ(form->result(), FormResult::ok);

    type("I2C address", "0x3C");
    type("SPI device", "/dev/spidev9.9");
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3C);
    press("GetButton");
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3D);
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev0.1");
    EXPECT_EQ(state("I2C address").text, "0x3D");
    EXPECT_EQ(state("SPI device").text, "/dev/spidev0.1");
    EXPECT_EQ(state("Reset line").text, "4");
}

} // namespace
} // namespace tessaranth::test
