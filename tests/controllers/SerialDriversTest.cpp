// SPDX-License-Identifier: GPL-2.0-or-later
// What the serial display drivers put on the bus for a change: one window and one data message
// per changed span, spans merged where the bytes between them cost less than a new window.
#include "TableDriver.h"

#include "controllers/ControllerTable.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tessaranth::test {
namespace {

// The I2C messages a driver sends, as they go out.
struct I2cRecorder {
    std::vector<std::vector<uint8_t>> messages;

    TessaranthHostServices services() {
        TessaranthHostServices s{};
        s.version = TESSARANTH_HOST_SERVICES_VERSION;
        s.context = this;
        s.i2cOpen = [](void*, const char*, uint8_t, char*, uint32_t) { return int32_t{1}; };
        s.i2cWrite = [](void* c, int32_t, const TessaranthI2cMessage* m, uint32_t count) {
            for (uint32_t i = 0; i < count; ++i)
                static_cast<I2cRecorder*>(c)->messages.emplace_back(m[i].data, m[i].data + m[i].length);
            return int32_t{0};
        };
        s.i2cClose = [](void*, int32_t) {};
        return s;
    }
};

class SerialDrivers : public ::testing::Test {
protected:
    void SetUp() override {
        services_ = recorder.services();
        platform::setHostServices(&services_);
    }
    void TearDown() override {
        if (driver) driver->close();
        platform::setHostServices(nullptr);
    }
    // The controller's driver on a 128x64 layout, started and its first frame sent.
    void start(uint8_t controller) {
        useFamilyOf(layout, controller);
        layout.setSize(128, 64);
        driver.reset(findController(controller)->makeDriver(DriverSetup{}));
        driver->attach(layout);
        ASSERT_TRUE(driver->open());
        driver->init();
        driver->endFrame();
        recorder.messages.clear();
    }

    I2cRecorder recorder;
    DisplayLayout layout;
    std::unique_ptr<ControllerLSI> driver;

private:
    TessaranthHostServices services_{};
};

using Bytes = std::vector<uint8_t>;

TEST_F(SerialDrivers, Ssd1306SendsEachChangedSpanInItsOwnWindowAndMergesNearOnes) {
    start(7);
    const uint8_t one = 0x81;
    driver->writeRow(1, 2, &one, 1);   // pixel column 6, page 2
    driver->writeRow(2, 2, &one, 1);   // column 12: 5 unchanged columns apart, cheaper than a window
    driver->writeRow(10, 5, &one, 1);  // column 60 of page 5
    driver->endFrame();
    const std::vector<Bytes> expected = {
        {0x00, 0x21, 6, 12, 0x22, 2, 2},  {0x40, 0x81, 0, 0, 0, 0, 0, 0x81},
        {0x00, 0x21, 60, 60, 0x22, 5, 5}, {0x40, 0x81},
    };
    EXPECT_EQ(recorder.messages, expected);

    // Far apart on one page: two windows.
    recorder.messages.clear();
    driver->writeRow(0, 3, &one, 1);
    driver->writeRow(20, 3, &one, 1);
    driver->endFrame();
    ASSERT_EQ(recorder.messages.size(), 4u);
    EXPECT_EQ(recorder.messages[0], (Bytes{0x00, 0x21, 0, 0, 0x22, 3, 3}));
    EXPECT_EQ(recorder.messages[2], (Bytes{0x00, 0x21, 120, 120, 0x22, 3, 3}));

    // Drawing what is there already sends nothing.
    recorder.messages.clear();
    driver->writeRow(20, 3, &one, 1);
    driver->endFrame();
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SerialDrivers, Sh1106AddressesEachSpanByPageAndColumnFromItsOffset) {
    start(9);
    const uint8_t one = 0xFF;
    driver->writeRow(3, 4, &one, 1);  // pixel column 18 is memory column 20
    driver->endFrame();
    const std::vector<Bytes> expected = {{0x00, 0xB4, 0x04, 0x11}, {0x40, 0xFF}};
    EXPECT_EQ(recorder.messages, expected);
}

} // namespace
} // namespace tessaranth::test
