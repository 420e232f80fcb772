// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/PortTrace.h"

#include "platform/GpioParallelPort.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tessaranth::host {
namespace {

struct Inner {
    std::vector<std::string> calls;
    uint16_t answer = 0x5A;
};

TessaranthHostServices innerServices(Inner& inner, bool withUsb) {
    TessaranthHostServices s{};
    s.version = TESSARANTH_HOST_SERVICES_VERSION;
    s.context = &inner;
    s.writePort = [](void* c, uint16_t port, uint16_t value) {
        static_cast<Inner*>(c)->calls.push_back("write " + std::to_string(port) + " " + std::to_string(value));
    };
    s.readPort = [](void* c, uint16_t port) -> uint16_t {
        static_cast<Inner*>(c)->calls.push_back("read " + std::to_string(port));
        return static_cast<Inner*>(c)->answer;
    };
    s.messageBox = [](void* c, const char* text, const char*, uint32_t) -> int32_t {
        static_cast<Inner*>(c)->calls.push_back(std::string("box ") + text);
        return 1;
    };
    if (withUsb) {
        s.usbOpen = [](void* c) -> int32_t {
            static_cast<Inner*>(c)->calls.push_back("open");
            return 0;
        };
        s.usbSetBaudRate = [](void* c, uint32_t baud) -> int32_t {
            static_cast<Inner*>(c)->calls.push_back("baud " + std::to_string(baud));
            return 0;
        };
        s.usbWrite = [](void* c, const uint8_t*, uint32_t length) -> int32_t {
            static_cast<Inner*>(c)->calls.push_back("usb " + std::to_string(length));
            return static_cast<int32_t>(length);
        };
        s.usbClose = [](void* c) { static_cast<Inner*>(c)->calls.push_back("close"); };
    }
    return s;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PortTraceTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    std::string path = ::testing::TempDir() + "trace-" + std::to_string(getpid()) + ".txt";
    Inner inner;
};

TEST_F(PortTraceTest, WritesEveryAccessInHexAndPassesItOn) {
    {
        PortTrace trace(path, innerServices(inner, true));
        ASSERT_TRUE(trace.isOpen());
        const TessaranthHostServices& s = trace.services();
        s.writePort(s.context, 0x378, 0x4A);
        EXPECT_EQ(s.readPort(s.context, 0x379), 0x5A);
        s.writePort(s.context, 0x37A, 0x0B);
        const uint8_t bytes[] = {0x8F, 0x24, 0x00};
        EXPECT_EQ(s.usbWrite(s.context, bytes, 3), 3);
        EXPECT_EQ(s.usbOpen(s.context), 0);
        EXPECT_EQ(s.usbSetBaudRate(s.context, 230400), 0);
        s.usbClose(s.context);
        EXPECT_EQ(s.messageBox(s.context, "hello", "Tessaranth", 0x30), 1);
    }
    EXPECT_EQ(readFile(path), "W 0378 4A\nR 0379\nW 037A 0B\nU 8F 24 00\n");
    EXPECT_EQ(inner.calls, (std::vector<std::string>{"write 888 74", "read 889", "write 890 11", "usb 3", "open",
                                                     "baud 230400", "close", "box hello"}));
}

TEST_F(PortTraceTest, KeepsMissingServicesMissing) {
    PortTrace trace(path, innerServices(inner, false));
    const TessaranthHostServices& s = trace.services();
    EXPECT_EQ(s.usbOpen, nullptr);
    EXPECT_EQ(s.usbWrite, nullptr);
    EXPECT_EQ(s.sleepMillis, nullptr);
    EXPECT_NE(s.i2cOpen, nullptr) << "the buses are the trace's: the plug-in never drives them itself";
    EXPECT_NE(s.gpioSet, nullptr);
    EXPECT_EQ(s.version, static_cast<uint32_t>(TESSARANTH_HOST_SERVICES_VERSION));
}

TEST_F(PortTraceTest, TracesWithNothingBehindIt) {
    {
        PortTrace trace(path, TessaranthHostServices{});
        const TessaranthHostServices& s = trace.services();
        s.writePort(s.context, 0x278, 0x1FF);
        EXPECT_EQ(s.readPort(s.context, 0x27A), 0);
    }
    EXPECT_EQ(readFile(path), "W 0278 1FF\nR 027A\n");
}

// What the buses behind the trace did, and the answers they give.
struct Buses {
    std::vector<std::string> calls;
    int32_t written = 0;  // the write calls' answer
};

TessaranthHostServices busServices(Buses& buses) {
    TessaranthHostServices s{};
    s.version = TESSARANTH_HOST_SERVICES_VERSION;
    s.context = &buses;
    s.i2cOpen = [](void* c, const char* device, uint8_t address, char*, uint32_t) -> int32_t {
        static_cast<Buses*>(c)->calls.push_back(std::string("i2c open ") + device + " " + std::to_string(address));
        return 7;
    };
    s.i2cWrite = [](void* c, int32_t handle, const TessaranthI2cMessage*, uint32_t count) -> int32_t {
        static_cast<Buses*>(c)->calls.push_back("i2c " + std::to_string(handle) + " " + std::to_string(count));
        return static_cast<Buses*>(c)->written;
    };
    s.i2cClose = [](void* c, int32_t handle) { static_cast<Buses*>(c)->calls.push_back("i2c close " + std::to_string(handle)); };
    s.spiOpen = [](void* c, const char* device, uint8_t, uint32_t hz, char*, uint32_t) -> int32_t {
        static_cast<Buses*>(c)->calls.push_back(std::string("spi open ") + device + " " + std::to_string(hz));
        return 3;
    };
    s.spiWrite = [](void* c, int32_t handle, int32_t dc, const uint8_t*, uint32_t length) -> int32_t {
        static_cast<Buses*>(c)->calls.push_back("spi " + std::to_string(handle) + " " + std::to_string(dc) + " " +
                                                std::to_string(length));
        return static_cast<Buses*>(c)->written;
    };
    s.spiResetPulse = [](void* c, int32_t, uint32_t micros) -> int32_t {
        static_cast<Buses*>(c)->calls.push_back("reset " + std::to_string(micros));
        return 0;
    };
    s.spiClose = [](void* c, int32_t) { static_cast<Buses*>(c)->calls.push_back("spi close"); };
    return s;
}

// One line per I2C message with the address it was opened at, per SPI transfer with its D/C
// level, and per reset pulse; each call passed on with its answer.
TEST_F(PortTraceTest, WritesEveryI2cMessageAndSpiTransferAndPassesThemOn) {
    Buses buses;
    buses.written = 121;  // EREMOTEIO: nothing answered
    {
        PortTrace trace(path, busServices(buses));
        const TessaranthHostServices& s = trace.services();
        char fault[64];
        const int32_t i2c = s.i2cOpen(s.context, "/dev/i2c-1", 0x3C, fault, sizeof fault);
        EXPECT_EQ(i2c, 7);
        const uint8_t commands[] = {0x00, 0xAE, 0xD5, 0x80};
        const uint8_t data[] = {0x40, 0xFF, 0x01};
        const TessaranthI2cMessage messages[] = {{commands, sizeof commands}, {data, sizeof data}};
        EXPECT_EQ(s.i2cWrite(s.context, i2c, messages, 2), 121);
        s.i2cClose(s.context, i2c);
        const int32_t spi = s.spiOpen(s.context, "/dev/spidev0.0", 0, 8'000'000, fault, sizeof fault);
        EXPECT_EQ(s.spiResetPulse(s.context, spi, 150), 0);
        const uint8_t command[] = {0x15, 0x1C, 0x5B};
        EXPECT_EQ(s.spiWrite(s.context, spi, 0, command, 1), 121);
        EXPECT_EQ(s.spiWrite(s.context, spi, 1, command + 1, 2), 121);
        s.spiClose(s.context, spi);
    }
    EXPECT_EQ(readFile(path), "I 3C 00 AE D5 80\nI 3C 40 FF 01\nS reset 150\nS 0 15\nS 1 1C 5B\n");
    EXPECT_EQ(buses.calls, (std::vector<std::string>{"i2c open /dev/i2c-1 60", "i2c 7 2", "i2c close 7",
                                                     "spi open /dev/spidev0.0 8000000", "reset 150", "spi 3 0 1",
                                                     "spi 3 1 2", "spi close"}));
}

// The parallel port on GPIO lines through the trace, with nothing behind it: every line at its
// first level when they are taken, then only the lines that change, never the machine's lines.
TEST_F(PortTraceTest, WritesEveryGpioLineChangeOfTheParallelPortOnGpio) {
    {
        PortTrace trace(path, TessaranthHostServices{});
        platform::setHostServices(&trace.services());
        platform::ParallelLines lines;
        lines.chip = "gpiochip0";
        for (int bit = 0; bit < 8; ++bit) lines.data[bit] = 2 + bit;
        lines.control[0] = 20;  // pin 1, inverted by the port: high at rest
        {
            platform::GpioParallelPort port(lines);
            ASSERT_TRUE(port.open()) << port.fault().text();
            port.writeData(0x81);
            port.writeControl(0x05);  // pin 1 low
            port.writeControl(0x04);  // and high again
            port.flush();
        }
        platform::setHostServices(nullptr);
    }
    const std::string text = readFile(path);
    const std::string opened = "G gpiochip0 2 0\nG gpiochip0 3 0\nG gpiochip0 4 0\nG gpiochip0 5 0\nG gpiochip0 6 0\n"
                               "G gpiochip0 7 0\nG gpiochip0 8 0\nG gpiochip0 9 0\nG gpiochip0 20 1\n";
    EXPECT_EQ(text, opened + "G gpiochip0 2 1\nG gpiochip0 9 1\nG gpiochip0 20 0\nG gpiochip0 20 1\n");
}

TEST_F(PortTraceTest, ReportsAFileItCannotWrite) {
    PortTrace trace("/nonexistent-folder/trace.txt", TessaranthHostServices{});
    EXPECT_FALSE(trace.isOpen());
}

} // namespace
} // namespace tessaranth::host
