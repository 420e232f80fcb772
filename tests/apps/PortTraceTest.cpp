// SPDX-License-Identifier: GPL-2.0-or-later
#include "views/PortTrace.h"

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

TEST_F(PortTraceTest, ReportsAFileItCannotWrite) {
    PortTrace trace("/nonexistent-folder/trace.txt", TessaranthHostServices{});
    EXPECT_FALSE(trace.isOpen());
}

} // namespace
} // namespace tessaranth::host
