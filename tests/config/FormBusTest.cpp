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

// The names of the enabled controls of the bus page, in table order.
std::vector<std::string> enabledBusControls(const TConfigForm& form) {
    std::vector<std::string> names;
    for (const ControlSpec& c : formControls())
        if (c.bus != BusUse::none && form.state(c.name).enabled) names.emplace_back(c.name);
    return names;
}

TEST_F(FormBus, EveryBusSettingHasItsControl) {
    for (const BusField& field : busFields()) {
        const int index = control(field.name);
        ASSERT_GE(index, 0) << field.name;
        EXPECT_NE(formControls()[static_cast<std::size_t>(index)].bus, BusUse::none) << field.name;
    }
}

TEST_F(FormBus, TheChosenControllersTransportEnablesItsControls) {
    choose("ControllerChoice", 7);  // SSD1306 on I2C
    EXPECT_EQ(enabledBusControls(*form), (std::vector<std::string>{"I2C device", "I2C address"}));
    choose("ControllerChoice", 9);  // SH1106: I2C and its first column
    EXPECT_EQ(enabledBusControls(*form),
              (std::vector<std::string>{"I2C device", "I2C address", "SH1106 column offset"}));
    choose("ControllerChoice", 11);  // SSD1322 on SPI
    EXPECT_EQ(enabledBusControls(*form), (std::vector<std::string>{"SPI device", "SPI speed", "D/C chip", "D/C line",
                                                                   "Reset chip", "Reset line"}));
    choose("ControllerChoice", 6);  // the USB adapter needs none
    EXPECT_TRUE(enabledBusControls(*form).empty());
    choose("ControllerChoice", 3);  // KS0108B: the LPT port, or GPIO lines once ticked
    EXPECT_EQ(enabledBusControls(*form), (std::vector<std::string>{"Parallel on GPIO"}));
    toggleByKey("Parallel on GPIO");
    EXPECT_EQ(gSettings->bus().parallelOnGpio, 1);
    EXPECT_EQ(enabledBusControls(*form).size(), 14u);  // the switch, the chip, 8 data and 4 control lines
    EXPECT_TRUE(state("GPIO pin 17").enabled);
    EXPECT_EQ(state("BusNote").text, "");
}

TEST_F(FormBus, TypedValuesAreStoredWithinTheirLimitsOnly) {
    type("I2C address", "0x3d");
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3D);
    EXPECT_EQ(state("BusNote").text, "");
    type("I2C address", "0x78");  // a reserved address
    EXPECT_EQ(gSettings->bus().i2cAddress, 0x3D);
    EXPECT_EQ(state("BusNote").text, "I2C address: 0x03 to 0x77");
    type("I2C address", "61");
    EXPECT_EQ(gSettings->bus().i2cAddress, 61);
    EXPECT_EQ(state("BusNote").text, "");

    type("SPI speed", "20000000");
    EXPECT_EQ(gSettings->bus().spiSpeedHz, 20'000'000u);
    for (const char* wrong : {"999", "125000001", "", "8 MHz", "-5"}) {
        type("SPI speed", wrong);
        EXPECT_EQ(gSettings->bus().spiSpeedHz, 20'000'000u) << wrong;
        EXPECT_EQ(state("BusNote").text, "SPI speed: 1000 to 125000000") << wrong;
    }
    type("SH1106 column offset", "5");
    EXPECT_EQ(gSettings->bus().sh1106ColumnOffset, 2);
    type("D/C line", "-1");
    EXPECT_EQ(gSettings->bus().dc.offset, -1);
    type("GPIO D7", "65536");
    EXPECT_EQ(gSettings->bus().dataLines[7], -1);

    type("SPI device", "/dev/spidev1.2");
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev1.2");
    type("SPI device", "");
    type("I2C device", std::string(busDeviceSize, 'x'));  // no room for its end
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev1.2");
    EXPECT_STREQ(gSettings->bus().i2cDevice, "/dev/i2c-1");
    EXPECT_EQ(state("BusNote").text, "I2C device: 1 to 63 characters");
}

TEST_F(FormBus, ThePiPresetFillsTheHeadersLinesAndKeepsTheRest) {
    type("I2C device", "/dev/i2c-7");
    type("I2C address", "0x3D");
    type("GPIO D0", "40");
    choose("BusPreset", 1);
    const BusSettings bus = gSettings->bus();
    EXPECT_STREQ(bus.i2cDevice, piheader::i2cDevice);
    EXPECT_EQ(bus.i2cAddress, 0x3D);
    EXPECT_EQ(bus.dc.offset, piheader::dcLine);
    EXPECT_EQ(bus.reset.offset, piheader::resetLine);
    EXPECT_TRUE(std::equal(piheader::parallelData.begin(), piheader::parallelData.end(), bus.dataLines));
    EXPECT_TRUE(std::equal(piheader::parallelControl.begin(), piheader::parallelControl.end(), bus.controlLines));
    EXPECT_EQ(state("I2C device").text, "/dev/i2c-1");
    EXPECT_EQ(state("GPIO D0").text, "5");
    EXPECT_EQ(state("GPIO pin 17").text, "25");
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
