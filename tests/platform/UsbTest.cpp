// SPDX-License-Identifier: GPL-2.0-or-later
#include "HostRecorder.h"

#include "platform/Usb.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

namespace tessaranth::test {
namespace {

namespace usb = platform::usb;

constexpr const char* missingLibrary = "/nonexistent/libmissing.so";
constexpr uint8_t payload[] = {0x8F, 0xB0, 0x00, 0xFF};

// The stand-in library, opened by the test too so it can read the library's call log.
class UsbAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        fake_ = dlopen(TESSARANTH_FAKE_FTDI_PATH, RTLD_NOW);
        ASSERT_NE(fake_, nullptr) << dlerror();
        reset_ = reinterpret_cast<void (*)(bool)>(dlsym(fake_, "fakeReset"));
        log_ = reinterpret_cast<const char* (*)()>(dlsym(fake_, "fakeLog"));
        ASSERT_TRUE(reset_ && log_);
        reset_(false);
    }
    void TearDown() override {
        usb::unload();
        usb::native::setLibraryNames(nullptr, nullptr);
        if (fake_) dlclose(fake_);
    }

    std::string log() const { return log_(); }

    void runSession() {
        ASSERT_TRUE(usb::load());
        usb::open();
        usb::setBaudRate(230400);
        usb::write(payload, sizeof payload);
        usb::close();
        EXPECT_TRUE(usb::unload());
    }

    void* fake_ = nullptr;
    void (*reset_)(bool) = nullptr;
    const char* (*log_)() = nullptr;
};

TEST_F(UsbAdapter, HostServicesTakePrecedenceOverAnyDeviceLibrary) {
    HostRecorder host(true);
    usb::native::setLibraryNames(TESSARANTH_FAKE_FTDI_PATH, TESSARANTH_FAKE_FTDI_PATH);
    runSession();
    EXPECT_EQ(host.usbCalls, (std::vector<std::string>{"open", "baud 230400", "write 4", "close"}));
    EXPECT_EQ(host.usbBytes, std::vector<uint8_t>(std::begin(payload), std::end(payload)));
    EXPECT_EQ(log(), "");
}

TEST_F(UsbAdapter, VendorLibraryIsDrivenThroughItsFourFunctionsWithTheOpenedHandle) {
    HostRecorder host(false);
    usb::native::setLibraryNames(TESSARANTH_FAKE_FTDI_PATH, missingLibrary);
    runSession();
    EXPECT_EQ(log(), "FT_Open 0;h FT_SetBaudRate 230400;h FT_Write 4: 8F B0 00 FF;h FT_Close;");
    EXPECT_TRUE(host.usbCalls.empty());
}

TEST_F(UsbAdapter, WithoutTheVendorLibraryTheFreeDriverOpensTheFirstFt232) {
    HostRecorder host(false);
    usb::native::setLibraryNames(missingLibrary, TESSARANTH_FAKE_FTDI_PATH);
    runSession();
    EXPECT_EQ(log(),
              "ftdi_new;h ftdi_usb_open 0403:6001;h ftdi_set_baudrate 230400;h ftdi_write_data 4: 8F B0 00 FF;"
              "h ftdi_usb_close;h ftdi_free;");
}

TEST_F(UsbAdapter, AnAbsentAdapterIsNotReportedAndNothingIsSentToIt) {
    HostRecorder host(false);
    reset_(true);
    usb::native::setLibraryNames(missingLibrary, TESSARANTH_FAKE_FTDI_PATH);
    runSession();
    EXPECT_EQ(log(), "ftdi_new;h ftdi_usb_open 0403:6001;h ftdi_free;");
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(UsbAdapter, UnloadingReleasesAnOpenDeviceOfTheFreeDriver) {
    HostRecorder host(false);
    usb::native::setLibraryNames(missingLibrary, TESSARANTH_FAKE_FTDI_PATH);
    ASSERT_TRUE(usb::load());
    usb::open();
    EXPECT_TRUE(usb::unload());
    EXPECT_EQ(log(), "ftdi_new;h ftdi_usb_open 0403:6001;h ftdi_usb_close;h ftdi_free;");
}

TEST_F(UsbAdapter, ALibraryWithoutTheDeviceFunctionsCountsAsMissing) {
    HostRecorder host(false);
    usb::native::setLibraryNames("libm.so.6", missingLibrary);
    EXPECT_FALSE(usb::load());
}

TEST_F(UsbAdapter, WithNoLibraryEveryOperationIsHarmless) {
    HostRecorder host(false);
    usb::native::setLibraryNames(missingLibrary, missingLibrary);
    EXPECT_FALSE(usb::load());
    usb::open();
    usb::setBaudRate(230400);
    usb::write(payload, sizeof payload);
    usb::close();
    EXPECT_TRUE(usb::unload());
    EXPECT_EQ(log(), "");
}

TEST_F(UsbAdapter, HostServicesWithdrawnAfterLoadingReceiveNothingAndNoLibraryIsUsed) {
    HostRecorder host(true);
    usb::native::setLibraryNames(TESSARANTH_FAKE_FTDI_PATH, TESSARANTH_FAKE_FTDI_PATH);
    ASSERT_TRUE(usb::load());
    tessaranthSetHostServices(nullptr);
    usb::open();
    usb::write(payload, sizeof payload);
    usb::close();
    EXPECT_TRUE(host.usbCalls.empty());
    EXPECT_EQ(log(), "");
}

} // namespace
} // namespace tessaranth::test
