#include "doctor/BusChecks.h"

#include <algorithm>

namespace tessaranth::host {

namespace {

const char* const busRules = "/etc/udev/rules.d/60-tessaranth-buses.rules";

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

BusNode i2cBus(unsigned number) {
    BusNode bus{"I2C", "/dev/i2c-" + std::to_string(number), "I2C bus " + std::to_string(number), "i2c-dev",
                "/dev/i2c-*", "i2c", "SUBSYSTEM==\"i2c-dev\"", "", {}, ""};
    if (number == 1) {
        bus.enable = "dtparam=i2c_arm=on";
        bus.parameters = {"i2c_arm", "i2c", "i2c1"};
    } else if (number == 0) {
        bus.enable = "dtparam=i2c_vc=on";
        bus.parameters = {"i2c_vc", "i2c0"};
    } else {
        bus.overlay = "i2c" + std::to_string(number);
        bus.enable = "dtoverlay=" + bus.overlay;
    }
    return bus;
}

BusNode spiBus(unsigned number, unsigned chipSelect) {
    const std::string name = std::to_string(number) + "." + std::to_string(chipSelect);
    BusNode bus{"SPI", "/dev/spidev" + name, "SPI bus " + std::to_string(number) + " (chip select " + std::to_string(chipSelect) + ")",
                "", "/dev/spidev*", "spi", "SUBSYSTEM==\"spidev\"", "", {}, ""};
    if (number == 0) {
        bus.enable = "dtparam=spi=on";
        bus.parameters = {"spi"};
    } else {
        bus.overlay = "spi" + std::to_string(number) + "-";
        bus.enable = "dtoverlay=" + bus.overlay + std::to_string(chipSelect + 1) + "cs";
    }
    return bus;
}

BusNode gpioChip(unsigned number) {
    return {"GPIO", "/dev/gpiochip" + std::to_string(number), "GPIO chip " + std::to_string(number), "", "/dev/gpiochip*", "gpio",
            "SUBSYSTEM==\"gpio\", KERNEL==\"gpiochip*\"", "", {}, ""};
}

bool enabledBy(const BusNode& bus, const BootConfig& pi) {
    return bus.overlay.empty() ? pi.enabled(bus.parameters) : pi.hasOverlay(bus.overlay);
}

// The kernel lists a loaded module by its name with underscores.
std::string moduleName(std::string module) {
    std::replace(module.begin(), module.end(), '-', '_');
    return module;
}

Finding missingNode(const Machine& machine, const BusNode& bus, const BootConfig* pi) {
    const bool piBus = pi && !bus.enable.empty();
    const std::string missing = bus.node + " is missing";
    if (piBus && !enabledBy(bus, *pi))
        return {Verdict::problem, bus.topic,
                missing + ": " + (pi->path().empty() ? "there is no config.txt to enable" : pi->path() + " does not enable") +
                    " the " + bus.what,
                "add the line " + bus.enable + " to " + pi->pathToEdit() + " (below an [all] line), then reboot"};
    if (!bus.module.empty() && !machine.moduleLoaded(moduleName(bus.module)))
        return {Verdict::problem, bus.topic, missing + ": the kernel module " + bus.module + " is not loaded",
                "load it: sudo modprobe " + bus.module + "; and at every boot: echo " + bus.module +
                    " | sudo tee /etc/modules-load.d/" + bus.module + ".conf"};
    if (piBus)
        return {Verdict::problem, bus.topic, missing + ", although " + pi->path() + " enables the " + bus.what,
                "reboot: the firmware reads config.txt when the Pi starts"};
    return {Verdict::problem, bus.topic, missing + ": the kernel has no " + bus.what,
            "wire the display to one the kernel has (ls " + std::string(bus.family) + ") and choose that in the settings"};
}

Finding nodeFinding(const Machine& machine, const BusNode& bus, const BootConfig* pi) {
    const std::optional<FileFacts> file = machine.file(bus.node);
    if (!file) return missingNode(machine, bus, pi);
    const std::string rule = bus.udevMatch + std::string(", GROUP=\"") + bus.group + "\", MODE=\"0660\"";
    return deviceAccess(machine, bus.topic, bus.node, *file,
                        "give it to the group " + std::string(bus.group) + ": put this line into " + busRules + ": " + rule +
                            "; then sudo groupadd -f " + bus.group +
                            ", sudo udevadm control --reload-rules, sudo udevadm trigger, sudo usermod -aG " + bus.group +
                            " \"$USER\", and log out and in again");
}

} // namespace

std::vector<Finding> checkBus(const Machine& machine, const Bus& bus, const BootConfig* pi) {
    switch (bus.kind) {
    case BusKind::lpt: return checkParallelPort(machine, bus.lptAddress);
    case BusKind::usb: return checkUsbAdapter(machine);
    case BusKind::i2c: return {nodeFinding(machine, i2cBus(bus.number), pi)};
    case BusKind::spi: return {nodeFinding(machine, spiBus(bus.number, bus.chipSelect), pi)};
    case BusKind::gpio: return {nodeFinding(machine, gpioChip(bus.number), pi)};
    }
    return {};
}

} // namespace tessaranth::host
