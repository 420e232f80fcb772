// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux port path, exercised with device paths that lead to no port and with recording
// stand-ins for direct port access, so that no test reaches real hardware.
#include "HostRecorder.h"

#include "platform/posix/PosixPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tessaranth::test {
namespace {

using platform::posix::DirectPortIo;
using platform::posix::PosixPort;

struct DirectLog {
    bool allowed = false;
    std::vector<uint16_t> grants;
    std::vector<std::pair<uint16_t, uint8_t>> outs;
    std::vector<uint16_t> ins;
};
DirectLog* directLog = nullptr;

DirectPortIo recordingDirectIo() {
    return {[](uint16_t base) {
                directLog->grants.push_back(base);
                return directLog->allowed;
            },
            [](uint16_t port, uint8_t value) { directLog->outs.emplace_back(port, value); },
            [](uint16_t port) -> uint8_t {
                directLog->ins.push_back(port);
                return 0x5A;
            }};
}

class PosixPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        directLog = &direct;
        folder = std::filesystem::temp_directory_path() / ("tessaranth-port-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        directLog = nullptr;
        std::filesystem::remove_all(folder);
    }
    std::string prefix() const { return (folder / "parport").string(); }

    DirectLog direct;
    HostRecorder host;  // receives the warning boxes
    std::filesystem::path folder;
};

TEST_F(PosixPortTest, WithoutDeviceOrPermissionItWarnsOnceAndAccessesGoNowhere) {
    PosixPort port(prefix(), recordingDirectIo());
    port.write(0x37A, 4);
    for (int i = 0; i < 50; ++i) port.write(0x378, static_cast<uint16_t>(i));
    EXPECT_EQ(port.read(0x379), 0);
    EXPECT_EQ(port.read(0x378), 0);
    EXPECT_EQ(port.route(), PosixPort::Route::nowhere);
    ASSERT_EQ(host.boxes.size(), 1u);
    const std::string& text = host.boxes[0].text;
    EXPECT_NE(text.find("0x378"), std::string::npos) << text;
    EXPECT_NE(text.find(prefix() + "0"), std::string::npos) << text;
    EXPECT_NE(text.find("parport_pc"), std::string::npos) << text;
    EXPECT_NE(text.find("ppdev"), std::string::npos) << text;
    EXPECT_NE(text.find("No such file"), std::string::npos) << text;
    EXPECT_EQ(host.boxes[0].caption, "Tessaranth");
    EXPECT_EQ(host.boxes[0].style, 0x30u);
    EXPECT_EQ(direct.grants, (std::vector<uint16_t>{0x378}));
    EXPECT_TRUE(direct.outs.empty());
}

TEST_F(PosixPortTest, EachBaseHasItsOwnDevice) {
    PosixPort port(prefix(), recordingDirectIo());
    const std::pair<uint16_t, char> cases[] = {{0x27A, '1'}, {0x3BE, '2'}, {0x2BC, '3'}, {0x379, '0'}};
    for (const auto& [address, number] : cases) {
        host.clear();
        port.write(address, 0);
        ASSERT_EQ(host.boxes.size(), 1u) << address;
        EXPECT_NE(host.boxes[0].text.find(prefix() + number + " "), std::string::npos) << host.boxes[0].text;
    }
    EXPECT_EQ(direct.grants, (std::vector<uint16_t>{0x278, 0x3BC, 0x2BC, 0x378}));
}

TEST_F(PosixPortTest, AnAddressWithoutADeviceTriesOnlyDirectAccess) {
    PosixPort port(prefix(), recordingDirectIo());
    port.write(0x3F2, 1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find("0x3F0"), std::string::npos) << host.boxes[0].text;
    EXPECT_EQ(host.boxes[0].text.find("parport_pc"), std::string::npos);
}

TEST_F(PosixPortTest, AFileThatIsNoPortFallsBackToDirectAccessWhenPermitted) {
    std::ofstream(prefix() + "1") << "not a port";
    direct.allowed = true;
    PosixPort port(prefix(), recordingDirectIo());
    port.write(0x278, 0x1A5);
    port.write(0x27A, 12);
    EXPECT_EQ(port.read(0x279), 0x5A);
    EXPECT_EQ(port.route(), PosixPort::Route::direct);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(direct.grants, (std::vector<uint16_t>{0x278}));
    EXPECT_EQ(direct.outs, (std::vector<std::pair<uint16_t, uint8_t>>{{0x278, 0xA5}, {0x27A, 12}}));
    EXPECT_EQ(direct.ins, (std::vector<uint16_t>{0x279}));
}

TEST_F(PosixPortTest, AFileThatIsNoPortAndNoPermissionNamesTheFailure) {
    std::ofstream(prefix() + "0") << "not a port";
    PosixPort port(prefix(), recordingDirectIo());
    port.write(0x378, 0);
    port.write(0x378, 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find("Inappropriate ioctl"), std::string::npos) << host.boxes[0].text;
    EXPECT_EQ(port.route(), PosixPort::Route::nowhere);
}

TEST(PosixPortDevices, TheFourLptAddressesMapToParportZeroToThree) {
    EXPECT_EQ(platform::posix::deviceNumber(0x378), 0);
    EXPECT_EQ(platform::posix::deviceNumber(0x278), 1);
    EXPECT_EQ(platform::posix::deviceNumber(0x3BC), 2);
    EXPECT_EQ(platform::posix::deviceNumber(0x2BC), 3);
    EXPECT_EQ(platform::posix::deviceNumber(0x37A), -1);
    EXPECT_EQ(platform::posix::deviceNumber(0), -1);
}

} // namespace
} // namespace tessaranth::test
