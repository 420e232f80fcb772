// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/MachineChecks.h"

#include <array>

namespace tessaranth::host {

namespace {

// The groups that the system service's user needs on a Pi: the parallel port's, the buses',
// the sound devices'.
constexpr std::array<const char*, 5> displayGroups{"lp", "i2c", "spi", "gpio", "audio"};

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

Finding bootConfigFinding(const BootConfig& pi) {
    if (pi.path().empty())
        return {Verdict::warning, "config.txt", "neither /boot/firmware/config.txt nor /boot/config.txt is there",
                "the firmware reads config.txt from the boot partition: mount it at /boot/firmware"};
    std::vector<std::string> buses;
    const bool i2c = pi.enabled({"i2c_arm", "i2c", "i2c1"});
    const std::string rate = pi.parameter("i2c_arm_baudrate");
    if (i2c) buses.push_back("I2C bus 1 (i2c_arm, " + (rate.empty() ? "100000" : rate) + " Hz)");
    if (pi.enabled({"spi"})) buses.push_back("SPI bus 0 (spi)");
    if (buses.empty())
        return {Verdict::ok, "config.txt", pi.path() + " enables neither I2C (dtparam=i2c_arm=on) nor SPI (dtparam=spi=on)", ""};
    return {Verdict::ok, "config.txt", pi.path() + " enables " + listed(buses),
            i2c && rate.empty() ? "a display on I2C draws four times as many frames at 400 kHz: dtparam=i2c_arm=on,i2c_arm_baudrate=400000"
                                : ""};
}

Finding groupsFinding(const Machine& machine) {
    std::vector<std::string> in, joined, out, absent;
    for (const char* name : displayGroups) {
        const std::optional<gid_t> group = machine.groupId(name);
        if (!group)
            absent.emplace_back(name);
        else if (machine.hasGroup(*group))
            in.emplace_back(name);
        else
            (machine.listedIn(*group) ? joined : out).emplace_back(name);
    }
    std::vector<std::string> parts;
    if (!in.empty()) parts.push_back(machine.userName() + " is in " + listed(in));
    if (!joined.empty()) parts.push_back("has joined " + listed(joined) + ", which this login is not in yet");
    if (!out.empty()) parts.push_back((in.empty() && joined.empty() ? machine.userName() + " is" : "is") + std::string(" not in ") + listed(out));
    if (!absent.empty()) parts.push_back("the machine has no group " + listed(absent));
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    if (joined.empty()) return {Verdict::ok, "groups", text, ""};
    return {Verdict::warning, "groups", text, "log out and in again (and restart a user service started before)"};
}

} // namespace

std::vector<Finding> checkMachine(const Machine& machine, const BootConfig* pi) {
    const std::string model = machine.deviceTreeModel();
    if (model.empty()) return {};
    std::vector<Finding> findings{{Verdict::ok, "machine", model, ""}};
    if (!pi) return findings;
    findings.push_back(bootConfigFinding(*pi));
    findings.push_back(groupsFinding(machine));
    return findings;
}

} // namespace tessaranth::host
