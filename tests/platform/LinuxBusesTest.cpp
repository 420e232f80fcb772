// SPDX-License-Identifier: GPL-2.0-or-later
// The buses' device code (i2c-dev, spidev, the GPIO uAPI v2) against emulated device nodes.
#include "EmulatedBuses.h"

#include "platform/GpioParallelPort.h"
#include "platform/I2cDevice.h"
#include "platform/Platform.h"
#include "platform/SpiDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <linux/gpio.h>
#include <linux/i2c.h>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace tessaranth::test {
namespace {

using platform::BusDevice;
using Delivery = platform::BusDevice::Delivery;
using namespace std::chrono_literals;

// Records the message boxes; the buses stay the plug-in's own.
class LinuxBusesTest : public testing::Test {
protected:
    void SetUp() override {
        TessaranthHostServices services{};
        services.version = TESSARANTH_HOST_SERVICES_VERSION;
        services.context = &boxes;
        services.messageBox = [](void* context, const char* text, const char*, uint32_t) {
            static_cast<std::vector<std::string>*>(context)->emplace_back(text);
            return int32_t{1};
        };
        platform::setHostServices(&services);
    }
    void TearDown() override { platform::setHostServices(nullptr); }

    int ioctls() { return buses.lock(), buses.ioctlCount; }

    EmulatedBuses buses;
    std::vector<std::string> boxes;
};

std::vector<uint8_t> counting(uint8_t control, size_t bytes) {
    std::vector<uint8_t> message(bytes);
    std::iota(message.begin(), message.end(), uint8_t{0});
    message[0] = control;
    return message;
}

platform::spi::Options spiOptions(const char* device) {
    platform::spi::Options options;
    options.device = device;
    return options;
}

std::string faultOf(platform::BusDevice& device) {
    EXPECT_FALSE(device.open());
    return device.fault().text();
}

TEST_F(LinuxBusesTest, I2cMessagesGoOutInCallsOfAtMost42AndLongOnesRepeatTheirControlByte) {
    platform::I2cDevice display("/dev/i2c-1", 0x3C);
    ASSERT_TRUE(display.open()) << display.fault().text();
    std::vector<std::vector<uint8_t>> bytes;
    for (int i = 0; i < 100; ++i) bytes.push_back({0x80, static_cast<uint8_t>(i)});
    std::vector<platform::i2c::Message> messages;
    for (const auto& message : bytes) messages.push_back({message.data(), static_cast<uint32_t>(message.size())});
    EXPECT_EQ(display.write(messages.data(), 100), Delivery::sent);

    const std::vector<uint8_t> frame = counting(0x40, 9000);
    const platform::i2c::Message long_{frame.data(), 9000};
    EXPECT_EQ(display.write(&long_, 1), Delivery::sent);

    auto lock = buses.lock();
    EXPECT_EQ(buses.i2cAddressesClaimed, std::vector<unsigned long>{0x3C});
    ASSERT_EQ(buses.i2cCalls.size(), 5u);
    EXPECT_EQ(buses.i2cCalls[0].messages.size(), 42u);
    EXPECT_EQ(buses.i2cCalls[1].messages.size(), 42u);
    EXPECT_EQ(buses.i2cCalls[2].messages.size(), 16u);
    std::vector<std::vector<uint8_t>> sent;
    for (int call = 0; call < 3; ++call)
        for (size_t m = 0; m < buses.i2cCalls[call].messages.size(); ++m) {
            sent.push_back(buses.i2cCalls[call].messages[m]);
            EXPECT_EQ(buses.i2cCalls[call].addresses[m], 0x3C);
        }
    EXPECT_EQ(sent, bytes);
    // 8192 bytes, then the control byte again and the other 808.
    const auto& first = buses.i2cCalls[3].messages.at(0);
    const auto& rest = buses.i2cCalls[4].messages.at(0);
    ASSERT_EQ(first.size(), 8192u);
    ASSERT_EQ(rest.size(), 809u);
    EXPECT_EQ(rest[0], 0x40);
    std::vector<uint8_t> joined(first);
    joined.insert(joined.end(), rest.begin() + 1, rest.end());
    EXPECT_EQ(joined, frame);
}

TEST_F(LinuxBusesTest, AnAdapterWithoutPlainI2cGetsSmbusBlocksOfAtMost32) {
    buses.lock(), buses.i2cFunctions = I2C_FUNC_SMBUS_WRITE_I2C_BLOCK;
    platform::I2cDevice display("/dev/i2c-1", 0x3D);
    ASSERT_TRUE(display.open()) << display.fault().text();
    const std::vector<uint8_t> data = counting(0x40, 71);
    const std::vector<uint8_t> commands{0x00, 0xAE, 0xAF};
    const std::vector<uint8_t> alone{0x00};
    const platform::i2c::Message messages[] = {{data.data(), 71}, {commands.data(), 3}, {alone.data(), 1}};
    EXPECT_EQ(display.write(messages, 3), Delivery::sent);

    auto lock = buses.lock();
    ASSERT_EQ(buses.i2cCalls.size(), 4u);
    std::vector<uint8_t> joined{0x40};
    for (int block = 0; block < 3; ++block) {
        EXPECT_EQ(buses.i2cCalls[block].smbusCommand, 0x40);
        EXPECT_LE(buses.i2cCalls[block].messages[0].size(), 32u);
        joined.insert(joined.end(), buses.i2cCalls[block].messages[0].begin(), buses.i2cCalls[block].messages[0].end());
    }
    EXPECT_EQ(joined, data);
    EXPECT_EQ(buses.i2cCalls[3].smbusCommand, 0x00);
    EXPECT_EQ(buses.i2cCalls[3].messages[0], (std::vector<uint8_t>{0xAE, 0xAF}));
    EXPECT_EQ(buses.i2cCalls[3].addresses[0], 0x3D);
}

TEST_F(LinuxBusesTest, WhatCannotBeOpenedIsOneMessageNamingTheDeviceAndWhatToCheck) {
    platform::I2cDevice missing("/dev/i2c-7", 0x3C);
    EXPECT_EQ(faultOf(missing), "no /dev/i2c-7: enable I2C and load the i2c-dev module (on a Raspberry Pi: "
                                "dtparam=i2c_arm=on in /boot/firmware/config.txt, then reboot)");
    platform::I2cDevice wide("/dev/i2c-1", 0x80);
    EXPECT_EQ(faultOf(wide), "0x80 is no 7-bit I2C address: displays answer at 0x3C or 0x3D");
    buses.lock(), buses.i2cFunctions = 0;
    platform::I2cDevice unable("/dev/i2c-1", 0x3C);
    EXPECT_EQ(faultOf(unable), "/dev/i2c-1 can send neither I2C messages nor SMBus block writes: use another I2C adapter");

    platform::spi::Options options;
    options.device = "/dev/spidev0.1";
    platform::SpiDevice noSpi(options);
    EXPECT_EQ(faultOf(noSpi), "no /dev/spidev0.1: enable SPI (on a Raspberry Pi: dtparam=spi=on in "
                              "/boot/firmware/config.txt, then reboot)");

    platform::ParallelLines lines;
    lines.chip = "pinctrl-rp2";
    lines.data[0] = 4;
    platform::GpioParallelPort noChip(lines);
    EXPECT_EQ(faultOf(noChip), "no GPIO chip is labelled pinctrl-rp2: check the chip's name or label (gpiodetect "
                               "lists the chips)");
    lines.chip = "gpiochip1";
    lines.data[1] = 60;
    platform::GpioParallelPort noLine(lines);
    EXPECT_EQ(faultOf(noLine), "/dev/gpiochip1 has 54 lines, no line 60: check the line numbers");
    buses.lock(), buses.usedLines = {24};
    lines.chip = "0";
    lines.data[1] = 24;
    platform::GpioParallelPort taken(lines);
    EXPECT_EQ(faultOf(taken), "line 24 of /dev/gpiochip0 is in use by kernel-driver: free it (gpioinfo shows who holds "
                              "each line)");
    lines.data[1] = 4;
    platform::GpioParallelPort twice(lines);
    EXPECT_EQ(faultOf(twice), "line 4 of 0 is set for two pins: give each pin a line of its own");
    // Each is reported once, as it happened.
    EXPECT_EQ(boxes.size(), 8u);
}

TEST_F(LinuxBusesTest, ANackingAddressIsReportedOnceWritesFailQuietlyAndTheDisplayComesBack) {
    buses.lock(), buses.i2cNackAddress = 0x3C;
    platform::I2cDevice display("/dev/i2c-1", 0x3C, 150ms);
    const std::vector<uint8_t> bytes{0x00, 0xAF};
    const platform::i2c::Message message{bytes.data(), 2};
    EXPECT_EQ(display.write(&message, 1), Delivery::dropped);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "nothing answers at 0x3C on /dev/i2c-1: check the address and the wiring. The display "
                        "stays dark; it is tried again every 0.15 s.");
    const int before = ioctls();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(display.write(&message, 1), Delivery::dropped);
    EXPECT_EQ(ioctls(), before);  // nothing is tried before the interval has passed
    EXPECT_EQ(boxes.size(), 1u);

    buses.lock(), buses.i2cNackAddress = -1;
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(display.write(&message, 1), Delivery::resumed);
    EXPECT_EQ(display.write(&message, 1), Delivery::sent);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "the display at 0x3C on /dev/i2c-1 answers again");
    EXPECT_TRUE(display.fault().empty());
}

TEST_F(LinuxBusesTest, ABusThatVanishesIsTriedAgainAtABoundedRateUntilItIsBack) {
    platform::SpiDevice display(spiOptions("/dev/spidev0.0"), 100ms);
    const uint8_t bytes[4] = {1, 2, 3, 4};
    ASSERT_EQ(display.write(true, bytes, 4), Delivery::sent);
    buses.lock(), buses.failWith = ENODEV;
    EXPECT_EQ(display.write(true, bytes, 4), Delivery::dropped);
    const int before = ioctls();
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 450ms) {
        EXPECT_EQ(display.write(true, bytes, 4), Delivery::dropped);
        std::this_thread::sleep_for(5ms);
    }
    // One open (its first ioctl fails) per 100 ms at most.
    EXPECT_GE(ioctls() - before, 3);
    EXPECT_LE(ioctls() - before, 5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "/dev/spidev0.0 went away: check that the bus is still enabled and its driver loaded. The "
                        "display stays dark; it is tried again every 0.1 s.");
    buses.lock(), buses.failWith = 0;
    std::this_thread::sleep_for(120ms);
    EXPECT_EQ(display.write(true, bytes, 4), Delivery::resumed);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(LinuxBusesTest, AShortTransferIsAFailure) {
    buses.lock(), buses.shortTransfers = true;
    platform::I2cDevice i2c("/dev/i2c-1", 0x3C);
    const std::vector<uint8_t> bytes{0x40, 1, 2};
    const platform::i2c::Message message{bytes.data(), 3};
    EXPECT_EQ(i2c.write(&message, 1), Delivery::dropped);
    platform::SpiDevice spi(spiOptions("/dev/spidev0.0"));
    EXPECT_EQ(spi.write(false, bytes.data(), 3), Delivery::dropped);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("/dev/i2c-1 sent only part of a transfer: check the wiring and the display's power", 0), 0u);
    EXPECT_EQ(boxes[1].rfind("/dev/spidev0.0 sent only part of a transfer", 0), 0u);
}

TEST_F(LinuxBusesTest, SpiSetsModeAndSpeedSendsAtMostBufsizPerMessageAndSwitchesDcOnlyWhenItChanges) {
    buses.setSpiBufferSize(64);
    platform::spi::Options options;
    options.device = "/dev/spidev0.0";
    options.mode = 3;
    options.speedHz = 10'000'000;
    options.dc = {"gpiochip0", 24};
    options.reset = {"pinctrl-bcm2711", 25};
    platform::SpiDevice display(options);
    ASSERT_TRUE(display.open()) << display.fault().text();
    const std::vector<uint8_t> bytes = counting(0, 200);
    EXPECT_EQ(display.write(false, bytes.data(), 200), Delivery::sent);
    EXPECT_EQ(display.write(false, bytes.data(), 10), Delivery::sent);
    EXPECT_EQ(display.write(true, bytes.data(), 10), Delivery::sent);
    EXPECT_EQ(display.write(true, bytes.data(), 12, {2, 72}), Delivery::sent);
    EXPECT_EQ(display.write(true, bytes.data(), 200, {3, 72}), Delivery::sent);
    EXPECT_EQ(display.resetPulse(10), Delivery::sent);

    auto lock = buses.lock();
    EXPECT_EQ(buses.spiModes, std::vector<uint8_t>{3});
    EXPECT_EQ(buses.spiSpeeds, std::vector<uint32_t>{10'000'000});
    ASSERT_EQ(buses.lineRequests.size(), 2u);
    EXPECT_EQ(buses.lineRequests[0].offsets, std::vector<uint32_t>{24});
    EXPECT_EQ(buses.lineRequests[0].initial, 0u);
    EXPECT_EQ(buses.lineRequests[1].offsets, std::vector<uint32_t>{25});
    EXPECT_EQ(buses.lineRequests[1].initial, 1u);
    for (const LineRequest& request : buses.lineRequests) {
        EXPECT_EQ(request.chip, 0);
        EXPECT_EQ(request.flags, GPIO_V2_LINE_FLAG_OUTPUT);
        EXPECT_EQ(request.consumer, "tessaranth");
    }
    // D/C: low for the first write, high for the third; the reset line low, then high.
    ASSERT_EQ(buses.lineSets.size(), 4u);
    EXPECT_EQ(buses.lineSets[0].bits, 0u);
    EXPECT_EQ(buses.lineSets[1].bits, 1u);
    EXPECT_EQ(buses.lineSets[1].request, buses.lineSets[0].request);
    EXPECT_EQ(buses.lineSets[2].bits, 0u);
    EXPECT_EQ(buses.lineSets[3].bits, 1u);
    EXPECT_NE(buses.lineSets[2].request, buses.lineSets[0].request);

    std::vector<uint8_t> unpaced;
    size_t message = 0;
    for (; message < 4; ++message) {
        ASSERT_EQ(buses.spiMessages[message].size(), 1u);
        unpaced.insert(unpaced.end(), buses.spiMessages[message][0].bytes.begin(),
                       buses.spiMessages[message][0].bytes.end());
    }
    EXPECT_EQ(unpaced, bytes);
    EXPECT_EQ(buses.spiMessages[2][0].bytes.size(), 64u);
    EXPECT_EQ(buses.spiMessages[3][0].bytes.size(), 8u);
    // Paced: six transfers of two bytes in one message, each followed by 72 us.
    const auto& paced = buses.spiMessages.at(6);
    ASSERT_EQ(paced.size(), 6u);
    EXPECT_EQ(paced[5], (SpiTransfer{{10, 11}, 72}));
    // 200 bytes in threes: 21 transfers (63 bytes) per message of at most 64.
    size_t total = 0;
    for (size_t m = 7; m < buses.spiMessages.size(); ++m) {
        size_t inMessage = 0;
        for (const SpiTransfer& transfer : buses.spiMessages[m]) {
            EXPECT_LE(transfer.bytes.size(), 3u);
            EXPECT_EQ(transfer.delayMicros, 72);
            inMessage += transfer.bytes.size();
        }
        EXPECT_LE(inMessage, 64u);
        total += inMessage;
    }
    EXPECT_EQ(buses.spiMessages.size(), 11u);
    EXPECT_EQ(total, 200u);
}

TEST_F(LinuxBusesTest, SpiTransfersAre4096BytesWhereTheSystemDoesNotSayOtherwise) {
    platform::SpiDevice display(spiOptions("/dev/spidev0.0"));
    const std::vector<uint8_t> frame = counting(0, 8192 + 7);
    EXPECT_EQ(display.write(true, frame.data(), static_cast<uint32_t>(frame.size())), Delivery::sent);
    auto lock = buses.lock();
    ASSERT_EQ(buses.spiMessages.size(), 3u);
    EXPECT_EQ(buses.spiMessages[0][0].bytes.size(), 4096u);
    EXPECT_EQ(buses.spiMessages[2][0].bytes.size(), 7u);
    EXPECT_EQ(buses.spiModes, std::vector<uint8_t>{0});
    EXPECT_EQ(buses.spiSpeeds, std::vector<uint32_t>{8'000'000});
}

TEST_F(LinuxBusesTest, TheParallelPortOfGpioLinesFindsItsChipByLabelAndSendsTwoUpdatesPerStrobedByte) {
    platform::ParallelLines lines;
    lines.chip = "pinctrl-rp1";
    for (int bit = 0; bit < 8; ++bit) lines.data[bit] = 2 + bit;
    for (int pin = 0; pin < 4; ++pin) lines.control[pin] = 20 + pin;
    platform::GpioParallelPort port(lines);
    ASSERT_TRUE(port.open()) << port.fault().text();
    // A byte strobed by pins 1 and 14 (register bits 0 and 1, inverted by the port).
    port.writeData(0x5A);
    port.writeControl(0x05);
    port.writeControl(0x07);
    port.writeControl(0x06);
    port.writeControl(0x04);
    EXPECT_EQ(port.flush(), Delivery::sent);

    auto lock = buses.lock();
    ASSERT_EQ(buses.lineRequests.size(), 1u);
    EXPECT_EQ(buses.lineRequests[0].chip, 1);
    EXPECT_EQ(buses.lineRequests[0].offsets,
              (std::vector<uint32_t>{2, 3, 4, 5, 6, 7, 8, 9, 20, 21, 22, 23}));
    EXPECT_EQ(buses.lineRequests[0].initial, 0xF00u);  // data low, every control pin high
    ASSERT_EQ(buses.lineSets.size(), 2u);
    // Data and both strobe lines low together; then both high, the data held.
    EXPECT_EQ(buses.lineSets[0].mask, 0x35Au);
    EXPECT_EQ(buses.lineSets[0].bits & 0x35A, 0x05Au);
    EXPECT_EQ(buses.lineSets[1].mask, 0x300u);
    EXPECT_EQ(buses.lineSets[1].bits & 0x300, 0x300u);
}

} // namespace
} // namespace tessaranth::test
