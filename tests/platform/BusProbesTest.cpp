// SPDX-License-Identifier: GPL-2.0-or-later
// The doctor's questions to the kernel (an I2C address answering, a GPIO chip and its lines)
// against emulated device nodes: what each answer looks like, and that asking changes nothing.
#include "EmulatedBuses.h"

#include "platform/posix/BusProbes.h"

#include <gtest/gtest.h>

#include <linux/i2c.h>

namespace tessaranth::test {
namespace {

using platform::posix::I2cAnswer;

TEST(BusProbesTest, AnI2cAddressIsAskedWithAWriteOfNoBytes) {
    EmulatedBuses buses;
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3C).answer, I2cAnswer::answers);
    {
        const auto lock = buses.lock();
        ASSERT_EQ(buses.i2cCalls.size(), 1u);
        ASSERT_EQ(buses.i2cCalls[0].messages.size(), 1u);
        EXPECT_TRUE(buses.i2cCalls[0].messages[0].empty()) << "nothing reaches the display";
        EXPECT_EQ(buses.i2cCalls[0].addresses[0], 0x3C);
        buses.i2cNackAddress = 0x3D;
        buses.i2cHeldAddress = 0x3E;
    }
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3D).answer, I2cAnswer::silent);
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3E).answer, I2cAnswer::held);

    {
        const auto lock = buses.lock();
        buses.i2cFunctions = I2C_FUNC_SMBUS_QUICK;  // an SMBus-only adapter
    }
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3C).answer, I2cAnswer::answers);
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3D).answer, I2cAnswer::silent);
    {
        const auto lock = buses.lock();
        EXPECT_TRUE(buses.i2cCalls.back().quick);
        buses.i2cFunctions = I2C_FUNC_SMBUS_WRITE_I2C_BLOCK;
    }
    const platform::posix::I2cProbe cannot = platform::posix::probeI2c("/dev/i2c-1", 0x3C);
    EXPECT_EQ(cannot.answer, I2cAnswer::unknown);
    EXPECT_EQ(cannot.reason, "the adapter has neither plain I2C nor the SMBus quick write");
    {
        const auto lock = buses.lock();
        buses.failWith = EIO;  // an adapter that vanished
    }
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-1", 0x3C).answer, I2cAnswer::unknown);
    EXPECT_EQ(platform::posix::probeI2c("/dev/i2c-9", 0x3C).reason.rfind("cannot open it: ", 0), 0u);
}

TEST(BusProbesTest, AGpioChipTellsItsLabelAndWhichLinesAreUsed) {
    EmulatedBuses buses;
    const auto chip = platform::posix::gpioChipInfo("/dev/gpiochip1");
    ASSERT_TRUE(chip);
    EXPECT_EQ(chip->label, "pinctrl-rp1");
    EXPECT_EQ(chip->lines, 54u);
    EXPECT_FALSE(platform::posix::gpioChipInfo("/dev/gpiochip7"));
    {
        const auto lock = buses.lock();
        buses.usedLines = {24};
    }
    const auto used = platform::posix::gpioLineInfo("/dev/gpiochip0", 24);
    ASSERT_TRUE(used);
    EXPECT_TRUE(used->used);
    EXPECT_EQ(used->consumer, "kernel-driver");
    const auto free = platform::posix::gpioLineInfo("/dev/gpiochip0", 25);
    ASSERT_TRUE(free);
    EXPECT_FALSE(free->used);
    const auto lock = buses.lock();
    EXPECT_TRUE(buses.lineRequests.empty()) << "asking requests no line";
}

} // namespace
} // namespace tessaranth::test
