// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/BusChecks.h"

#include "doctor/GpioLineChecks.h"

#include "controllers/PiHeader.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

namespace tessaranth::host {

namespace {

const char* const spidevBufferSize = "/sys/module/spidev/parameters/bufsiz";
constexpr unsigned assumedBufferSize = 4096;      // what the display sends when spidev does not say
constexpr unsigned largestBufferSize = 1u << 22;  // beyond it the display does not believe the file

// A bus the kernel offers as a device file, and how it comes about.
struct BusNode {
    const char* topic;
    std::string node;
    std::string what;                     // "I2C bus 1"
    std::string module;                   // the module that makes the device files; empty: none
    const char* family;                   // all device files of its kind
    const char* group;                    // the group Raspberry Pi OS gives the device files
    const char* udevMatch;                // the udev rule's match of the device files
    std::string enable;                   // the line of a Pi's config.txt that enables the bus; empty: none needed
    std::vector<std::string> parameters;  // parameters of config.txt that enable it
    std::string overlay;                  // else the start of the overlay's name that does
};

std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// The number that makes up the rest of `text` after `prefix`.
std::optional<unsigned> numberAfter(const std::string& text, const std::string& prefix) {
    if (text.size() <= prefix.size() || text.rfind(prefix, 0) != 0) return std::nullopt;
    const char* first = text.data() + prefix.size();
    const char* last = text.data() + text.size();
    unsigned value = 0;
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc() || stop != last) return std::nullopt;
    return value;
}

// The I2C adapter of a device file named as the kernel names it (/dev/i2c-N).
std::optional<unsigned> i2cNumber(const std::string& device) { return numberAfter(device, "/dev/i2c-"); }

BusNode i2cBus(const std::string& device) {
    const std::optional<unsigned> number = i2cNumber(device);
    BusNode bus{"I2C", device, number ? "I2C bus " + std::to_string(*number) : "I2C bus of " + device, "i2c-dev",
                "/dev/i2c-*", "i2c", "SUBSYSTEM==\"i2c-dev\"", "", {}, ""};
    if (!number) return bus;
    if (*number == 1) {
        bus.enable = "dtparam=i2c_arm=on";
        bus.parameters = {"i2c_arm", "i2c", "i2c1"};
    } else if (*number == 0) {
        bus.enable = "dtparam=i2c_vc=on";
        bus.parameters = {"i2c_vc", "i2c0"};
    } else {
        bus.overlay = "i2c" + std::to_string(*number);
        bus.enable = "dtoverlay=" + bus.overlay;
    }
    return bus;
}

struct SpiNumbers {
    unsigned bus = 0;
    unsigned chipSelect = 0;
};

// /dev/spidevB.C: the bus B and the chip select C.
std::optional<SpiNumbers> spiNumbers(const std::string& device) {
    const std::size_t dot = device.find('.');
    if (dot == std::string::npos) return std::nullopt;
    const std::optional<unsigned> bus = numberAfter(device.substr(0, dot), "/dev/spidev");
    const std::optional<unsigned> chipSelect = numberAfter(device.substr(dot), ".");
    if (!bus || !chipSelect) return std::nullopt;
    return SpiNumbers{*bus, *chipSelect};
}

BusNode spiBus(const std::string& device) {
    BusNode bus{"SPI", device, "SPI bus of " + device, "", "/dev/spidev*", "spi", "SUBSYSTEM==\"spidev\"", "", {}, ""};
    const std::optional<SpiNumbers> numbers = spiNumbers(device);
    if (!numbers) return bus;
    bus.what = "SPI bus " + std::to_string(numbers->bus) + " (chip select " + std::to_string(numbers->chipSelect) + ")";
    if (numbers->bus == 0) {
        bus.enable = "dtparam=spi=on";
        bus.parameters = {"spi"};
    } else {
        bus.overlay = "spi" + std::to_string(numbers->bus) + "-";
        bus.enable = "dtoverlay=" + bus.overlay + std::to_string(numbers->chipSelect + 1) + "cs";
    }
    return bus;
}

bool enabledBy(const BusNode& bus, const BootConfig& pi) {
    return bus.overlay.empty() ? pi.enabled(bus.parameters) : pi.hasOverlay(bus.overlay);
}

// The kernel lists a loaded module by its name with underscores.
std::string moduleName(std::string module) {
    std::replace(module.begin(), module.end(), '-', '_');
    return module;
}

std::string loadAtBoot(const std::string& module) {
    return "echo " + module + " | sudo tee /etc/modules-load.d/" + module + ".conf";
}

Finding missingNode(const Machine& machine, const BusNode& bus, const BootConfig* pi) {
    const bool piBus = pi && !bus.enable.empty();
    const bool unloaded = !bus.module.empty() && !machine.moduleLoaded(moduleName(bus.module));
    const std::string missing = bus.node + " is missing";
    if (piBus && !enabledBy(bus, *pi))
        return {Verdict::problem, bus.topic,
                missing + ": " + (pi->path().empty() ? "there is no config.txt to enable" : pi->path() + " does not enable") +
                    " the " + bus.what,
                "add the line " + bus.enable + " to " + pi->pathToEdit() + " (below an [all] line)" +
                    (unloaded ? ", have the kernel module " + bus.module + " loaded at every boot: " + loadAtBoot(bus.module) + ";"
                              : ",") +
                    " then reboot"};
    if (unloaded)
        return {Verdict::problem, bus.topic, missing + ": the kernel module " + bus.module + " is not loaded",
                "load it: sudo modprobe " + bus.module + "; and at every boot: " + loadAtBoot(bus.module)};
    if (piBus)
        return {Verdict::problem, bus.topic, missing + ", although " + pi->path() + " enables the " + bus.what,
                "reboot: the firmware reads config.txt when the Pi starts"};
    return {Verdict::problem, bus.topic, missing + ": the kernel has no " + bus.what,
            "wire the display to one the kernel has (ls " + std::string(bus.family) + ") and choose that in the settings"};
}

Finding nodeFinding(const Machine& machine, const BusNode& bus, const BootConfig* pi) {
    const std::optional<FileFacts> file = machine.file(bus.node);
    if (!file) return missingNode(machine, bus, pi);
    return deviceAccess(machine, bus.topic, bus.node, *file, busGroupAdvice(bus.group, bus.udevMatch));
}

// The kernel names an I2C client by its adapter and its address: 1-003c.
std::string clientName(const std::string& device, uint8_t address) {
    const std::optional<unsigned> number = i2cNumber(device);
    char name[16];
    std::snprintf(name, sizeof name, "%u-%04x", number.value_or(0), address);
    return number ? name : "N-00xx";
}

// The wires of an I2C display; on a Pi's header bus with the header's pins.
std::string i2cWires(const Bus& bus, const BootConfig* pi) {
    if (!pi || bus.device != piheader::i2cDevice) return "SDA, SCL, power and ground";
    return "SDA on the header's pin " + std::to_string(piheader::pinWith("I2C1 SDA")->pin) + ", SCL on pin " +
           std::to_string(piheader::pinWith("I2C1 SCL")->pin) + ", power and ground";
}

Finding addressFinding(const Machine& machine, const Bus& bus, const BootConfig* pi) {
    const std::string where = hex(bus.address) + " on " + bus.device;
    const platform::posix::I2cProbe probe = machine.i2cAnswer(bus.device, bus.address);
    switch (probe.answer) {
    case platform::posix::I2cAnswer::answers: return {Verdict::ok, "I2C address", "a device answers at " + where, ""};
    case platform::posix::I2cAnswer::silent:
        return {Verdict::problem, "I2C address", "nothing answers at " + where,
                "check the wiring (" + i2cWires(bus, pi) + ") and the module's address: sudo i2cdetect -y " +
                    (i2cNumber(bus.device) ? std::to_string(*i2cNumber(bus.device)) : std::string("N (the bus's number)")) +
                    " lists the addresses that answer; these modules answer at 0x3C, or at 0x3D with the address "
                    "jumper moved"};
    case platform::posix::I2cAnswer::held:
        return {Verdict::problem, "I2C address", "a kernel driver holds " + where,
                "remove what binds a driver there (a dtoverlay of config.txt for a display, or a chip of another kind at "
                "that address): ls -l /sys/bus/i2c/devices/" + clientName(bus.device, bus.address) + "/driver names it"};
    case platform::posix::I2cAnswer::unknown: break;
    }
    return {Verdict::warning, "I2C address", "whether a device answers at " + where + " cannot be asked (" + probe.reason + ")",
            ""};
}

Finding bufferFinding(const Machine& machine) {
    const std::string text = machine.text(spidevBufferSize, 32);
    unsigned size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    const bool read = error == std::errc() && end != text.data() && size > 0 && size <= largestBufferSize;
    if (!read)
        return {Verdict::warning, "SPI transfers",
                std::string(spidevBufferSize) + " does not say how much spidev takes at once: the display sends up to " +
                    std::to_string(assumedBufferSize) + " bytes a transfer",
                "if spidev refuses them, load it with a larger bufsiz: spidev.bufsiz=" +
                    std::to_string(assumedBufferSize) + " on the kernel's command line"};
    return {Verdict::ok, "SPI transfers",
            "spidev takes up to " + std::to_string(size) + " bytes a transfer (" + spidevBufferSize + ")", ""};
}

std::vector<Finding> i2cFindings(const Machine& machine, const Bus& bus, const BootConfig* pi) {
    const Finding node = nodeFinding(machine, i2cBus(bus.device), pi);
    if (node.verdict != Verdict::ok) return {node};
    return {node, addressFinding(machine, bus, pi)};
}

std::vector<Finding> spiFindings(const Machine& machine, const Bus& bus, const BootConfig* pi) {
    std::vector<Finding> findings{nodeFinding(machine, spiBus(bus.device), pi)};
    if (findings.front().verdict == Verdict::ok) findings.push_back(bufferFinding(machine));
    for (Finding& finding : checkGpioLines(machine, bus.lines)) findings.push_back(std::move(finding));
    return findings;
}

std::vector<BusLine> spiLines(const ControllerRow& row, const BusSetup& setup) {
    std::vector<BusLine> lines;
    if (takesDcLine(row)) lines.push_back({"D/C", setup.dc.chip, setup.dc.offset, true});
    lines.push_back({"reset", setup.reset.chip, setup.reset.offset, false});
    return lines;
}

// D0..D7 first, each needed; then the control lines of the port's pins 1, 14, 16 and 17.
std::vector<BusLine> parallelLines(const BusSetup& setup) {
    const std::string chip = setup.parallelChip;
    std::vector<BusLine> lines;
    for (int bit = 0; bit < 8; ++bit) lines.push_back({"D" + std::to_string(bit), chip, setup.dataLines[bit], true});
    const char* const pins[] = {"pin 1", "pin 14", "pin 16", "pin 17"};
    for (int control = 0; control < 4; ++control) lines.push_back({pins[control], chip, setup.controlLines[control], false});
    return lines;
}

} // namespace

Bus busOf(const ControllerRow& row, uint16_t lptAddress, const BusSetup& setup) {
    Bus bus;
    bus.lptAddress = lptAddress;
    switch (row.transport) {
    case Transport::usbAdapter: bus.kind = BusKind::usb; break;
    case Transport::i2c:
        bus.kind = BusKind::i2c;
        bus.device = setup.i2cDevice;
        bus.address = setup.i2cAddress;
        break;
    case Transport::spi:
        bus.kind = BusKind::spi;
        bus.device = setup.spiDevice;
        bus.lines = spiLines(row, setup);
        break;
    case Transport::parallelPort:
        bus.kind = setup.parallelOnGpio ? BusKind::gpio : BusKind::lpt;
        if (setup.parallelOnGpio) bus.lines = parallelLines(setup);
        break;
    }
    return bus;
}

std::string describe(const Bus& bus) {
    switch (bus.kind) {
    case BusKind::lpt: {
        char port[8];
        std::snprintf(port, sizeof port, "0x%X", static_cast<unsigned>(bus.lptAddress));
        return std::string("on the parallel port at ") + port;
    }
    case BusKind::usb: return "on the USB adapter";
    case BusKind::i2c: return "at " + hex(bus.address) + " on " + bus.device;
    case BusKind::spi: return "on " + bus.device;
    case BusKind::gpio: return "on GPIO lines of " + (bus.lines.empty() ? std::string("no chip") : bus.lines.front().chip);
    }
    return {};
}

std::vector<Finding> checkBus(const Machine& machine, const Bus& bus, const BootConfig* pi) {
    switch (bus.kind) {
    case BusKind::lpt: return checkParallelPort(machine, bus.lptAddress);
    case BusKind::usb: return checkUsbAdapter(machine);
    case BusKind::i2c: return i2cFindings(machine, bus, pi);
    case BusKind::spi: return spiFindings(machine, bus, pi);
    case BusKind::gpio: return checkGpioLines(machine, bus.lines);
    }
    return {};
}

} // namespace tessaranth::host
