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

// A driver whose adapter is the recorder's USB services.
class Usb2lcdDriver : public ::testing::Test {
protected:
    void SetUp() override {
        loadPlugin();
        ASSERT_TRUE(driver.loadDriver());
    }
    void TearDown() override {
        platform::usb::unload();
        unloadPlugin();
    }

    HostRecorder host{true};
    USB2LCD driver;
};

TEST_F(Usb2lcdDriver, CommandBytesAreEscapedAndDataBytesTravelAlone) {
    driver.writeCommand(0xB0);
    driver.writeData(0xB0);
    driver.writeData(0x8F);
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0xB0, 0xB0, 0x8F}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 1", "write 1"}));
}

TEST_F(Usb2lcdDriver, AddressCommandPrecedesItsLowAndHighByte) {
    driver.setAddress(0x1234);
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x24, 0x34, 0x12}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2"}));
}

TEST_F(Usb2lcdDriver, GlyphIsOnePacketAddressingTheCharacterGeneratorRam) {
    const uint8_t rows[8] = {1, 2, 3, 4, 5, 6, 7, 31};
    driver.defineGlyph(1, rows);
    driver.defineGlyph(15, rows);
    EXPECT_EQ(host.usbCalls, (Calls{"write 16", "write 16"}));
    const Bytes glyph1{0x8F, 0x24, 0x08, 0x1C, 0x8F, 0xB0, 1, 2, 3, 4, 5, 6, 7, 31, 0x8F, 0xB2};
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 16), glyph1);
    EXPECT_EQ(host.usbBytes[18], 0x78);  // 0x1C78 for glyph 15
    EXPECT_EQ(host.usbBytes[19], 0x1C);
}

TEST_F(Usb2lcdDriver, TextSendsOneWriteAndIncrementPerCharacterWithTheRomCode) {
    driver.writeText("A");
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0xC0, 0x21}));
    host.clear();
    driver.writeText("Stopped");
    ASSERT_EQ(host.usbBytes.size(), 21u);
    const char* text = "Stopped";
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(host.usbBytes[3 * i], 0x8F);
        EXPECT_EQ(host.usbBytes[3 * i + 1], 0xC0);
        EXPECT_EQ(host.usbBytes[3 * i + 2], text[i] - 32);
    }
    host.clear();
    driver.writeText("\x1F\xA0");  // below the ROM wraps to 0xFF; 0xA0 reaches user glyph 0x80
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0xC0, 0xFF, 0x8F, 0xC0, 0x80}));
}

TEST_F(Usb2lcdDriver, ScreenIsAlways5120BytesFromAddress0x300WhateverTheDisplaySize) {
    gSettings->setInverse(1);
    gLcd->setSize(128, 64);
    std::vector<uint8_t> image(13443);
    std::iota(image.begin(), image.end(), uint8_t{0});
    driver.writeScreen(image.data());
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 2", "write 2", "write 5120", "write 2"}));
    ASSERT_EQ(host.usbBytes.size(), 4u + 2 + 5120 + 2);
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 6), (Bytes{0x8F, 0x24, 0x00, 0x03, 0x8F, 0xB0}));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 5120, host.usbBytes.begin() + 6)) << "not inverted";
    EXPECT_EQ(Bytes(host.usbBytes.end() - 2, host.usbBytes.end()), (Bytes{0x8F, 0xB2}));
}

TEST_F(Usb2lcdDriver, ClearGraphicsWritesTheWholeScreenWithZeros) {
    driver.clearGraphics();
    ASSERT_EQ(host.usbBytes.size(), 5128u);
    EXPECT_EQ(Bytes(host.usbBytes.begin(), host.usbBytes.begin() + 6), (Bytes{0x8F, 0x24, 0x00, 0x03, 0x8F, 0xB0}));
    EXPECT_TRUE(std::all_of(host.usbBytes.begin() + 6, host.usbBytes.end() - 2, [](uint8_t b) { return b == 0; }));
}

TEST_F(Usb2lcdDriver, RunIsOneAutoWriteTransferWithoutInversion) {
    gSettings->setInverse(1);
    const uint8_t run[] = {0x3F, 0x01, 0x20};
    driver.writeRun(run, 3);
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0xB0, 0x3F, 0x01, 0x20, 0x8F, 0xB2}));
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 3", "write 2"}));
    host.clear();
    driver.writeRun(run, -5);
    EXPECT_EQ(host.usbCalls, (Calls{"write 2", "write 0", "write 2"}));
}

TEST_F(Usb2lcdDriver, InitSendsTheDisplayModeAndTheAdaptersStartCommandsOnly) {
    driver.init();
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x9C, 0x8F, 0x72, 0x8F, 0x78}));
}

TEST_F(Usb2lcdDriver, OpenSetsTheBaudRateAndCloseSignsOffBeforeClosing) {
    driver.open();
    driver.close();
    EXPECT_EQ(host.usbCalls, (Calls{"open", "baud 230400", "write 2", "close"}));
    EXPECT_EQ(host.usbBytes, (Bytes{0x8F, 0x79}));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(gPlugin->inEmergency());
}

TEST_F(Usb2lcdDriver, CodeOperationsAnswerTheT6963CCommands) {
    EXPECT_EQ(driver.writeIncrementCode(), 0xC0);
    EXPECT_EQ(driver.autoReadCode(), 0xB1);
    EXPECT_EQ(driver.autoWriteCode(), 0xB0);
    EXPECT_EQ(driver.autoResetCode(), 0xB2);
    EXPECT_TRUE(driver.statusLoop());
    const uint8_t block[6] = {1, 2, 3, 4, 5, 6};
    driver.writeBlock(block, 0, 0, 8, 1);
    EXPECT_TRUE(host.usbBytes.empty());
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

TEST_F(Usb2lcdWithoutLibrary, OpenReportsTheMissingLibraryAndRaisesTheEmergency) {
    USB2LCD driver;
    driver.open();
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[0].text, "Unable to load FTD2XX.dll\n\nMake sure you installed the D2XX driver");
    EXPECT_EQ(host.boxes[1].text, "Tessaranth will now shut down");
    EXPECT_EQ(host.boxes[2].text, "Opening device.... driver not loaded");
    for (const MessageBoxRecord& box : host.boxes) {
        EXPECT_EQ(box.caption, "Tessaranth");
        EXPECT_EQ(box.style, 0x30u);
    }
    EXPECT_TRUE(gPlugin->inEmergency());
    driver.writeText("still harmless");
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
