// SPDX-License-Identifier: GPL-2.0-or-later
#include "DriverFromTable.h"
#include "HostRecorder.h"
#include "PluginFixture.h"

#include "controllers/USB2LCD.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "platform/Usb.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace tessaranth::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Calls = std::vector<std::string>;

// A driver whose adapter is the recorder's USB services, opened on a 240 x 128 layout.
class Usb2lcdDriver : public ::testing::Test {
protected:
    void SetUp() override {
        loadPlugin();
        driver = driverFromTable<USB2LCD>(6);
        ASSERT_NE(driver, nullptr);
        gLcd->setSize(240, 128);
        ASSERT_TRUE(driver->open());
        opening = host.usbCalls;
        host.clear();
    }
    void TearDown() override {
        platform::usb::unload();
        driver.reset();
        unloadPlugin();
    }
    void setInverse(bool on) {
        gSettings->setInverse(on ? 1 : 0);
        driver->setOptions(driverOptions(*gSettings));
    }

    HostRecorder host{true};
    std::unique_ptr<USB2LCD> driver;
    Calls opening;
};

// The address pointer of text cell (13, 7): 7 * 40 + 13 = 0x125.
const Bytes cellAddress{0x8F, 0x24, 0x25, 0x01};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Usb2lcdDriver, AddressCommandPrecedesItsLowAndHighByte) {
    driver->writeText(13, 7, "");
    EXPECT_EQ(host.usbBytes, cellAddress);
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2"}));
}

TEST_F(Usb2lcdDriver, CommandBytesAreEscapedAndDataBytesTravelAlone) {
    driver->writeText(13, 7, "\xAF");  // character code 0x8F, the escape's own value
    EXPECT_EQ(host.usbBytes, (cellAddress + Bytes{0x8F, 0xC0, 0x8F}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 1"}));
    host.clear();
    driver->blankText(13, 7, 2);
    EXPECT_EQ(host.usbBytes, (cellAddress + Bytes{0x8F, 0xB0, 0x00, 0x00, 0x8F, 0xB2}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 1", "write 1", "write 2"}));
}

TEST_F(Usb2lcdDriver, GlyphIsOnePacketAddressingTheCharacterGeneratorRam) {
    const uint8_t rows[8] = {1, 2, 3, 4, 5, 6, 7, 31};
    driver->defineGlyph(1, rows);
    driver->defineGlyph(15, rows);
    EXPECT_EQ(host.usbCalls, (Calls{"write 16", "write 16"}));
    const Bytes glyph1{0x8F, 0x24, 0x08, 0x1C, 0x8F, 0xB0, 1, 2, 3, 4, 5, 6, 7, 31, 0x8F, 0xB2};
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 16), glyph1);
    EXPECT_EQ(host.usbBytes[18], 0x78);  // 0x1C78 for glyph 15
    EXPECT_EQ(host.usbBytes[19], 0x1C);
}

TEST_F(Usb2lcdDriver, TextSendsOneWriteAndIncrementPerCharacterWithTheRomCode) {
    driver->writeText(0, 0, "A");
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x24, 0x00, 0x00, 0x8F, 0xC0, 0x21}));
    host.clear();
    driver->writeText(13, 7, "Stopped");
    ASSERT_EQ(host.usbBytes.size(), 4u + 21);
    const char* text = "Stopped";
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(host.usbBytes[4 + 3 * i], 0x8F);
        EXPECT_EQ(host.usbBytes[4 + 3 * i + 1], 0xC0);
        EXPECT_EQ(host.usbBytes[4 + 3 * i + 2], text[i] - 32);
    }
    host.clear();
    driver->writeText(13, 7, "\x1F\xA0");  // below the ROM wraps to 0xFF; 0xA0 reaches user glyph 0x80
    EXPECT_EQ(host.usbBytes, (cellAddress + Bytes{0x8F, 0xC0, 0xFF, 0x8F, 0xC0, 0x80}));
    host.clear();
    driver->writeCells(13, 7, "\xA0\x80" "A");  // the block modes' cells keep the user glyph codes
    EXPECT_EQ(host.usbBytes, (cellAddress + Bytes{0x8F, 0xC0, 0xA0, 0x8F, 0xC0, 0x80, 0x8F, 0xC0, 0x21}));
}

TEST_F(Usb2lcdDriver, ScreenIsAlways5120BytesFromAddress0x300WhateverTheDisplaySize) {
    setInverse(true);
    gLcd->setSize(128, 64);
    std::vector<uint8_t> image(13443);
    std::iota(image.begin(), image.end(), uint8_t{0});
    driver->writeScreen(image.data());
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 5120", "write 2"}));
    ASSERT_EQ(host.usbBytes.size(), 4u + 2 + 5120 + 2);
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 6), (Bytes{0x8F, 0x24, 0x00, 0x03, 0x8F, 0xB0}));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 5120, host.usbBytes.begin() + 6)) << "not inverted";
    EXPECT_EQ(Bytes(host.usbBytes.end() - 2, host.usbBytes.end()), (Bytes{0x8F, 0xB2}));
}

TEST_F(Usb2lcdDriver, ClearGraphicsWritesTheWholeScreenWithZeros) {
    driver->clearGraphics();
    ASSERT_EQ(host.usbBytes.size(), 5128u);
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 6), (Bytes{0x8F, 0x24, 0x00, 0x03, 0x8F, 0xB0}));
    EXPECT_TRUE(std::all_of(host.usbBytes.begin() + 6, host.usbBytes.end() - 2, [](uint8_t b) { return b == 0; }));
}

TEST_F(Usb2lcdDriver, RowIsOneAutoWriteTransferWithoutInversion) {
    setInverse(true);
    const uint8_t run[] = {0x3F, 0x01, 0x20};
    driver->writeRow(2, 1, run, 3);  // graphic home 0x300, one row of 40 bytes down
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x24, 0x2A, 0x03, 0x8F, 0xB0, 0x3F, 0x01, 0x20, 0x8F, 0xB2}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 3", "write 2"}));
    host.clear();
    driver->writeRow(0, 0, run, -5);
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 0", "write 2"}));
}

TEST_F(Usb2lcdDriver, InitSendsTheDisplayModeAndTheAdaptersStartCommandsOnly) {
    driver->init();
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x9C, 0x8F, 0x72, 0x8F, 0x78}));
}

TEST_F(Usb2lcdDriver, OpenSetsTheBaudRateAndCloseSignsOffBeforeClosing) {
    EXPECT_EQ(opening, (Calls{"open", "baud 230400"}));
    driver->close();
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "close"}));
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x79}));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(Usb2lcdDriver, BlocksAndBrightnessSendNothing) {
    const uint8_t block[6] = {1, 2, 3, 4, 5, 6};
    driver->writeBlock(block, 0, 0, 8, 1);
    driver->setBrightness(2);
    EXPECT_TRUE(host.usbCalls.empty());
}

// No host USB services and no device library on the search path.
class Usb2lcdWithoutLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        loadPlugin();
        platform::usb::native::setLibraryNames("/nonexistent/libftd2xx.so", "/nonexistent/libftdi1.so.2");
    }
    void TearDown() override {
        platform::usb::native::setLibraryNames(nullptr, nullptr);
        unloadPlugin();
    }
    HostRecorder host{false};
};

TEST_F(Usb2lcdWithoutLibrary, OpenReportsTheMissingLibraryAndFails) {
    const std::unique_ptr<USB2LCD> driver = driverFromTable<USB2LCD>(6);
    ASSERT_NE(driver, nullptr);
    gLcd->setSize(240, 128);
    EXPECT_FALSE(driver->open());
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[0].text, "Unable to load FTD2XX.dll\n\nMake sure you installed the D2XX driver");
    EXPECT_EQ(host.boxes[1].text, "Tessaranth will now shut down");
    EXPECT_EQ(host.boxes[2].text, "Opening device.... driver not loaded");
    for (const MessageBoxRecord& box : host.boxes) {
        EXPECT_EQ(box.caption, "Tessaranth");
        EXPECT_EQ(box.style, 0x30u);
    }
    EXPECT_FALSE(gPlugin->inEmergency()) << "the start-up raises it on the answer";
    driver->writeText(0, 0, "still harmless");
    EXPECT_TRUE(host.usbCalls.empty());
}

// The whole plug-in on the adapter.
class Usb2lcdPlugin : public PluginFixture {
protected:
    void TearDown() override {
        platform::usb::native::setLibraryNames(nullptr, nullptr);
        PluginFixture::TearDown();
    }
};

TEST_F(Usb2lcdPlugin, StartOpensTheAdapterBeforeInitAndQuitClosesIt) {
    gSettings->setController(6);
    gSettings->setDisplayFormat(0);
    init();
    ASSERT_GE(host.usbCalls.size(), 3u);
    EXPECT_EQ(host.usbCalls[0], "open");
    EXPECT_EQ(host.usbCalls[1], "baud 230400");
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 6), (Bytes{0x8F, 0x9C, 0x8F, 0x72, 0x8F, 0x78}));
    EXPECT_EQ(std::count(host.usbCalls.begin(), host.usbCalls.end(), "write 16"), 16);
    EXPECT_EQ(std::count(host.usbCalls.begin(), host.usbCalls.end(), "write 5120"), 1);
    quit();
    EXPECT_EQ(host.usbCalls.back(), "close");
}

TEST_F(Usb2lcdPlugin, MissingLibraryStopsTheStartAndQuitOnlyReports) {
    HostRecorder noUsb(false);
    platform::usb::native::setLibraryNames("/nonexistent/libftd2xx.so", "/nonexistent/libftdi1.so.2");
    gSettings->setController(6);
    init();
    ASSERT_EQ(noUsb.boxes.size(), 4u);
    EXPECT_EQ(noUsb.boxes[3].text, "init: emergency shutdown");
    EXPECT_EQ(player.sent.back(), (SentMessage{0x0111, 40001, 0}));
    render(3);
    quit();
    ASSERT_EQ(noUsb.boxes.size(), 5u);
    EXPECT_EQ(noUsb.boxes[4].text, "quit: emergency shutdown");
    EXPECT_TRUE(noUsb.accesses.empty());
    EXPECT_TRUE(noUsb.sleeps.empty());
}

} // namespace
} // namespace tessaranth::test
