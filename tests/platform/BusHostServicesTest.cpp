// SPDX-License-Identifier: GPL-2.0-or-later
// The buses through the host's services (version 2 of the record, a version 1 record still
// understood), and the parallel port of GPIO lines under the four parallel-port drivers: the
// line updates per bus byte, and the bytes the chips latch whatever order one update's lines
// change in.
#include "PageBusDecoders.h"
#include "PluginFixture.h"
#include "T6963CDecoder.h"
#include "TableDriver.h"

#include "controllers/DriverOptions.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "platform/Gpio.h"
#include "platform/GpioParallelPort.h"
#include "platform/I2cDevice.h"
#include "platform/Platform.h"
#include "platform/Spi.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

using Delivery = platform::BusDevice::Delivery;

// The record as a version 1 host knows it: up to usbClose.
struct HostServicesV1 {
    uint32_t version;
    void* context;
    void (*writePort)(void*, uint16_t, uint16_t);
    uint16_t (*readPort)(void*, uint16_t);
    int32_t (*messageBox)(void*, const char*, const char*, uint32_t);
    void (*sleepMillis)(void*, uint32_t);
    int32_t (*usbOpen)(void*);
    int32_t (*usbSetBaudRate)(void*, uint32_t);
    int32_t (*usbWrite)(void*, const uint8_t*, uint32_t);
    void (*usbClose)(void*);
};
static_assert(sizeof(HostServicesV1) == offsetof(TessaranthHostServices, i2cOpen));

// A host that serves I2C and GPIO lines itself, as the virtual display and --trace do.
struct BusHost {
    std::vector<std::string> boxes;
    std::vector<std::vector<uint8_t>> i2cMessages;
    int32_t i2cAnswer = 0;
    std::string openFault;
    uint64_t initial = 0;
    std::vector<std::pair<uint64_t, uint64_t>> lineSets;  // (bits, mask)

    TessaranthHostServices services() {
        TessaranthHostServices s{};
        s.version = TESSARANTH_HOST_SERVICES_VERSION;
        s.context = this;
        s.messageBox = [](void* c, const char* text, const char*, uint32_t) {
            static_cast<BusHost*>(c)->boxes.emplace_back(text);
            return int32_t{1};
        };
        s.i2cOpen = [](void* c, const char*, uint8_t, char* fault, uint32_t size) {
            const std::string& text = static_cast<BusHost*>(c)->openFault;
            std::snprintf(fault, size, "%s", text.c_str());
            return text.empty() ? int32_t{7} : int32_t{-1};
        };
        s.i2cWrite = [](void* c, int32_t handle, const TessaranthI2cMessage* messages, uint32_t count) {
            auto& host = *static_cast<BusHost*>(c);
            EXPECT_EQ(handle, 7);
            for (uint32_t i = 0; i < count; ++i)
                host.i2cMessages.emplace_back(messages[i].data, messages[i].data + messages[i].length);
            return host.i2cAnswer;
        };
        s.i2cClose = [](void*, int32_t) {};
        s.gpioOpen = [](void* c, const char*, const uint32_t*, uint32_t, uint64_t levels, char*, uint32_t) {
            static_cast<BusHost*>(c)->initial = levels;
            return int32_t{3};
        };
        s.gpioSet = [](void* c, int32_t, uint64_t bits, uint64_t mask) {
            static_cast<BusHost*>(c)->lineSets.emplace_back(bits, mask);
            return int32_t{0};
        };
        s.gpioClose = [](void*, int32_t) {};
        return s;
    }
};

class BusHostServicesTest : public PluginFixture {
protected:
    void TearDown() override {
        host.install();
        PluginFixture::TearDown();
    }
    void serve() {
        services = busHost.services();
        platform::setHostServices(&services);
    }
    BusHost busHost;
    TessaranthHostServices services{};
};

TEST_F(BusHostServicesTest, AVersion1HostKeepsItsServicesAndTheBusesStayThePluginsOwn) {
    auto v1 = std::make_unique<HostServicesV1>();  // exactly a version 1 record, no byte more
    v1->version = TESSARANTH_HOST_SERVICES_VERSION_1;
    v1->context = &busHost;
    v1->messageBox = busHost.services().messageBox;
    platform::setHostServices(reinterpret_cast<const TessaranthHostServices*>(v1.get()));
    platform::messageBox("hello", "Tessaranth", platform::mbIconWarning);
    EXPECT_EQ(busHost.boxes, std::vector<std::string>{"hello"});
    EXPECT_FALSE(platform::i2c::hostServes());
    EXPECT_FALSE(platform::spi::hostServes());
    EXPECT_FALSE(platform::gpio::hostServes());
    EXPECT_EQ(platform::hostServices().i2cOpen, nullptr);

    v1->version = 3;  // an unknown version installs nothing
    platform::setHostServices(reinterpret_cast<const TessaranthHostServices*>(v1.get()));
    EXPECT_EQ(platform::hostServices().messageBox, nullptr);
}

TEST_F(BusHostServicesTest, AHostServesI2cWithItsOwnFaultsAndNackingIsReportedOnce) {
    serve();
    EXPECT_TRUE(platform::i2c::hostServes());
    busHost.openFault = "the virtual display has no I2C device /dev/i2c-9";
    platform::I2cDevice absent("/dev/i2c-9", 0x3C);
    EXPECT_FALSE(absent.open());
    EXPECT_STREQ(absent.fault().text(), "the virtual display has no I2C device /dev/i2c-9");

    busHost.openFault.clear();
    platform::I2cDevice display("/dev/i2c-1", 0x3C, std::chrono::milliseconds(0));
    const uint8_t bytes[] = {0x00, 0xAF};
    const platform::i2c::Message message{bytes, 2};
    EXPECT_EQ(display.write(&message, 1), Delivery::sent);
    EXPECT_EQ(busHost.i2cMessages, (std::vector<std::vector<uint8_t>>{{0x00, 0xAF}}));
    busHost.i2cAnswer = platform::busError::remoteIo;
    EXPECT_EQ(display.write(&message, 1), Delivery::dropped);
    EXPECT_EQ(display.write(&message, 1), Delivery::dropped);
    busHost.i2cAnswer = 0;
    EXPECT_EQ(display.write(&message, 1), Delivery::resumed);
    ASSERT_EQ(busHost.boxes.size(), 3u);  // the absent device, the NACK once, the return
    EXPECT_EQ(busHost.boxes[1].rfind("nothing answers at 0x3C on /dev/i2c-1: check the address and the wiring", 0), 0u);
    EXPECT_EQ(busHost.boxes[2], "the display at 0x3C on /dev/i2c-1 answers again");
}

// The lines of the port: D0..D7 on request bits 0..7, pins 1, 14, 16, 17 on bits 8..11.
platform::ParallelLines portLines() {
    platform::ParallelLines lines;
    lines.chip = "gpiochip0";
    for (int bit = 0; bit < 8; ++bit) lines.data[bit] = 2 + bit;
    for (int pin = 0; pin < 4; ++pin) lines.control[pin] = 20 + pin;
    return lines;
}

// The register writes that the lines' updates amount to, one update after another, with each
// update's data lines changing before its control lines or after them.
std::vector<PortAccess> registerWrites(uint64_t initial, const std::vector<std::pair<uint64_t, uint64_t>>& sets,
                                       bool dataFirst) {
    std::vector<PortAccess> writes;
    uint64_t levels = initial;
    for (const auto& [bits, mask] : sets) {
        levels = (levels & ~mask) | (bits & mask);
        const PortAccess data{true, 0x378, static_cast<uint16_t>(levels & 0xFF)};
        const PortAccess control{true, 0x37A, static_cast<uint16_t>(((levels >> 8) & 0x0F) ^ 0x0B)};
        writes.push_back(dataFirst ? data : control);
        writes.push_back(dataFirst ? control : data);
    }
    return writes;
}

struct Replay {
    std::vector<std::pair<uint64_t, uint64_t>> sets;
    uint64_t initial = 0;
    size_t bytes = 0;  // data register writes

    // The updates that each byte took, at most: those after one latching update up to the
    // next. A strobe line returning to its idle level (strobeIdle) latches.
    size_t mostPerByte(uint64_t strobes, uint64_t strobeIdle) const {
        size_t most = 0;
        size_t count = 0;
        for (const auto& [bits, mask] : sets) {
            ++count;
            if ((mask & strobes) && ((bits ^ strobeIdle) & mask & strobes) == 0) {
                most = std::max(most, count);
                count = 0;
            }
        }
        return most;
    }
};

// Request bits of the pins: 1 -> 8, 14 -> 9, 16 -> 10, 17 -> 11.
constexpr uint64_t pin1 = 1u << 8;
constexpr uint64_t pin16 = 1u << 10;

class GpioParallelPortTest : public BusHostServicesTest {
protected:
    // Runs what the driver did on the LPT port through a parallel port of GPIO lines.
    Replay replay() {
        const std::vector<PortAccess> accesses = host.accesses;
        serve();
        platform::GpioParallelPort port(portLines());
        EXPECT_TRUE(port.open()) << port.fault().text();
        Replay result;
        uint8_t lastData = 0;
        for (const PortAccess& access : accesses) {
            const auto value = static_cast<uint8_t>(access.value);
            if (access.write && access.port == 0x378) {
                ++result.bytes;
                lastData = value;
                port.writeData(value);
            } else if (access.write && access.port == 0x37A) {
                port.writeControl(value);
            } else if (!access.write && access.port == 0x378) {
                const size_t sets = busHost.lineSets.size();
                EXPECT_EQ(port.readData(), lastData);
                EXPECT_EQ(busHost.lineSets.size(), sets);
            }
        }
        EXPECT_EQ(port.flush(), Delivery::sent);
        result.sets = busHost.lineSets;
        result.initial = busHost.initial;
        EXPECT_TRUE(busHost.boxes.empty());
        return result;
    }
    // The same bytes latched through the lines, whichever way each update's lines change.
    template <typename Decode>
    void expectSameBytes(const Replay& run, Decode decode) {
        const auto expected = decode(host.accesses);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(decode(registerWrites(run.initial, run.sets, true)), expected);
        EXPECT_EQ(decode(registerWrites(run.initial, run.sets, false)), expected);
    }
    // The driver made for GPIO lines draws what runDriver() draws on the LPT port.
    template <typename Decode>
    void expectOnGpio(uint8_t controller, uint16_t width, uint16_t height, Decode decode) {
        runDriver(controller, width, height);
        const auto expected = decode(host.accesses);
        ASSERT_FALSE(expected.empty());
        serve();
        busHost.lineSets.clear();
        const platform::ParallelLines lines = portLines();
        DriverSetup setup = driverSetup(*gSettings);
        setup.bus.parallelOnGpio = true;
        std::snprintf(setup.bus.parallelChip, sizeof setup.bus.parallelChip, "%s", lines.chip);
        std::copy(std::begin(lines.data), std::end(lines.data), setup.bus.dataLines);
        std::copy(std::begin(lines.control), std::end(lines.control), setup.bus.controlLines);
        const std::unique_ptr<ControllerLSI> driver = startDisplay(*gLcd, controller, width, height, *gSettings, setup);
        ASSERT_TRUE(driver);
        draw(*driver);
        driver->endFrame();
        EXPECT_EQ(decode(registerWrites(busHost.initial, busHost.lineSets, true)), expected) << int{controller};
        EXPECT_EQ(decode(registerWrites(busHost.initial, busHost.lineSets, false)), expected) << int{controller};
        EXPECT_TRUE(busHost.boxes.empty());
    }
    static void draw(ControllerLSI& driver) {
        driver.writeText(0, 0, "Tessaranth");
        const uint8_t run[6] = {0x81, 0x42, 0x24, 0x18, 0xFF, 0x00};
        driver.writeRow(0, 0, run, 6);
    }
    void runDriver(uint8_t controller, uint16_t width, uint16_t height) {
        host.install();
        busHost.lineSets.clear();
        gSettings->setLptAddress(0x378);
        host.clear();
        const std::unique_ptr<ControllerLSI> driver = startDisplay(*gLcd, controller, width, height, *gSettings);
        ASSERT_TRUE(driver);
        draw(*driver);
    }
};

TEST_F(GpioParallelPortTest, T6963CBytesTakeTwoUpdatesAndCommandsAtMostThree) {
    runDriver(0, 240, 64);
    const Replay run = replay();
    EXPECT_EQ(run.mostPerByte(pin1 | pin16, pin1 | pin16), 3u);  // /CE and /WR: high at rest
    EXPECT_LE(run.sets.size(), 2 * run.bytes + run.bytes / 8);
    expectSameBytes(run, [](const std::vector<PortAccess>& a) { return decodeT6963C(a); });
}

TEST_F(GpioParallelPortTest, T6963CTimingReadsCostNoUpdate) {
    gSettings->setInterfaceTiming(1);
    runDriver(0, 240, 64);
    const Replay run = replay();
    EXPECT_EQ(run.mostPerByte(pin1 | pin16, pin1 | pin16), 3u);
    EXPECT_LE(run.sets.size(), 2 * run.bytes + run.bytes / 8);
    expectSameBytes(run, [](const std::vector<PortAccess>& a) { return decodeT6963C(a); });
}

TEST_F(GpioParallelPortTest, SED133xBytesTakeTwoUpdates) {
    runDriver(1, 320, 240);
    const Replay run = replay();
    EXPECT_EQ(run.mostPerByte(pin1 | pin16, pin1 | pin16), 2u);  // /CS and /WR
    EXPECT_LE(run.sets.size(), 2 * run.bytes);
    expectSameBytes(run, [](const std::vector<PortAccess>& a) { return decodeT6963C(a); });
}

TEST_F(GpioParallelPortTest, NoritakeBytesTakeTwoUpdates) {
    runDriver(5, 128, 64);
    const Replay run = replay();
    EXPECT_EQ(run.mostPerByte(pin16, pin16), 2u);  // /WR
    EXPECT_LE(run.sets.size(), 2 * run.bytes);
    expectSameBytes(run, [](const std::vector<PortAccess>& a) { return decodeNoritake(a); });
}

TEST_F(GpioParallelPortTest, KS0108BBytesTakeThreeUpdatesOnTwoAndThreeChips) {
    for (const uint16_t width : {uint16_t{128}, uint16_t{192}}) {
            runDriver(3, width, 64);
        const Replay run = replay();
        EXPECT_EQ(run.mostPerByte(pin1, 0), 3u) << width;  // E, low at rest
        EXPECT_LE(run.sets.size(), 3 * run.bytes) << width;
        KS0108BWiring wiring;
        wiring.threeChips = width == 192;
        expectSameBytes(run, [wiring](const std::vector<PortAccess>& a) { return decodeKS0108B(a, wiring); });
    }
}

// The four parallel-port drivers made for GPIO lines: the chips latch the bytes the LPT port
// carries, the frame's last update sent at its end.
TEST_F(GpioParallelPortTest, TheParallelDriversRunOnGpioLinesAsOnTheLptPort) {
    expectOnGpio(0, 240, 64, [](const std::vector<PortAccess>& a) { return decodeT6963C(a); });
    expectOnGpio(1, 320, 240, [](const std::vector<PortAccess>& a) { return decodeT6963C(a); });
    expectOnGpio(3, 128, 64, [](const std::vector<PortAccess>& a) { return decodeKS0108B(a); });
    expectOnGpio(5, 128, 64, [](const std::vector<PortAccess>& a) { return decodeNoritake(a); });
}

TEST_F(GpioParallelPortTest, TheLinesMeanThePinsOfTheLptPort) {
    // Pins 1, 14 and 17 are inverted by the port, pin 16 is not.
    EXPECT_EQ(platform::GpioParallelPort::levels(0xA5, 0x00), 0xBA5);
    EXPECT_EQ(platform::GpioParallelPort::levels(0x00, 0x0F), 0x400);
    EXPECT_EQ(platform::GpioParallelPort::levels(0x00, 0x04), 0xF00);
    // Lines left unwired are left out of the request and of every update.
    serve();
    platform::ParallelLines lines = portLines();
    lines.data[7] = -1;
    lines.control[3] = -1;
    platform::GpioParallelPort port(lines);
    ASSERT_TRUE(port.open());
    port.writeData(0xFF);
    port.writeControl(0x00);
    EXPECT_EQ(port.flush(), Delivery::sent);
    ASSERT_EQ(busHost.lineSets.size(), 1u);
    // D0..D6 on bits 0..6, pins 1, 14, 16 on bits 7..9: only pin 16 goes low.
    EXPECT_EQ(busHost.lineSets[0].second, 0x27Fu);
    EXPECT_EQ(busHost.lineSets[0].first & 0x27F, 0x07Fu);
}

} // namespace
} // namespace tessaranth::test
