// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/Checks.h"

#include "platform/Usb.h"
#include "platform/UsbLibrary.h"
#include "platform/posix/PosixPort.h"

#include "players/BusConnection.h"
#include "players/MprisNames.h"

#include <mpd/client.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tessaranth::host {

namespace {

const char* const loadModules = "load the modules: sudo modprobe parport_pc ppdev; and at every boot: "
                                "printf 'parport_pc\\nppdev\\n' | sudo tee /etc/modules-load.d/tessaranth.conf";
const char* const udevRule = "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"0403\", ATTR{idProduct}==\"6001\", "
                             "MODE=\"0660\", GROUP=\"plugdev\", TAG+=\"uaccess\"";
const char* const ft232Product = "6001";
const char* const busRules = "/etc/udev/rules.d/60-tessaranth-buses.rules";

std::string hex(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

// What to do about a device file the user may not read and write: join its group, or log in
// again when the group file lists the user already.
std::string joinGroup(const Machine& machine, const FileFacts& file) {
    const std::string group = machine.groupName(file.group);
    if (machine.listedIn(file.group))
        return "you are in the group " + group + ", but this login is not yet: log out and in again (and restart a "
               "user service started before)";
    return "join its group: sudo usermod -aG " + group + " \"$USER\", then log out and in again";
}

// Why the device file is not there: a module not loaded, or no port found by the kernel.
Finding missingDevice(const Machine& machine, const std::string& device) {
    std::vector<std::string> missing;
    for (const char* module : {"parport_pc", "ppdev"})
        if (!machine.moduleLoaded(module)) missing.emplace_back(module);
    if (missing.size() == 2)
        return {Verdict::problem, "ppdev", device + " is missing: the kernel modules parport_pc and ppdev are not loaded",
                loadModules};
    if (missing.size() == 1)
        return {Verdict::problem, "ppdev", device + " is missing: the kernel module " + missing.front() + " is not loaded",
                loadModules};
    return {Verdict::problem, "ppdev",
            device + " is missing, although parport_pc and ppdev are loaded: the kernel found no parallel port",
            "enable the port in the firmware setup; a PCI or PCIe port card that Linux names parport0 works with the "
            "address 0x378"};
}

Finding ppdevDevice(const Machine& machine, uint16_t base) {
    const int number = platform::posix::deviceNumber(base);
    if (number < 0)
        return {Verdict::problem, "ppdev",
                "no /dev/parport device belongs to the port address " + hex(base) +
                    "; ppdev serves 0x378, 0x278, 0x3BC and 0x2BC",
                "choose one of them on the dialog's \"Hardware settings\" page: 0x378 is /dev/parport0, whatever the "
                "port's real address"};
    const std::string device = "/dev/parport" + std::to_string(number);
    const std::optional<FileFacts> file = machine.file(device);
    if (!file) return missingDevice(machine, device);
    return deviceAccess(machine, "ppdev", device, *file, "");
}

Finding directAccess(const Machine& machine, uint16_t base, bool ppdevWorks) {
    const bool granted = machine.directPortAccess(base);
    if (ppdevWorks)
        return {Verdict::ok, "direct port access",
                granted ? "granted as well, but the plug-in uses ppdev" : "not granted, and not needed: the plug-in uses ppdev", ""};
    if (granted)
        return {Verdict::ok, "direct port access",
                "the plug-in falls back to ioperm at " + hex(base) + ", which is granted to this process",
                "it is only granted to root: set up ppdev above, so that the player need not run as root"};
    return {Verdict::problem, "direct port access",
            "the fallback, ioperm at " + hex(base) + ", is not granted: only root has it, and only on x86 machines",
            "set up ppdev above"};
}

// The first device library the plug-in would load, or null.
platform::UsbLibrary* loadableLibrary() {
    for (platform::UsbLibrary* library : platform::usb::native::candidates())
        if (library->load()) {
            library->unload();
            return library;
        }
    return nullptr;
}

Finding usbLibrary(const platform::UsbLibrary* library) {
    if (library) return {Verdict::ok, "USB library", std::string("the plug-in loads ") + library->name(), ""};
    std::string names;
    for (const platform::UsbLibrary* candidate : platform::usb::native::candidates())
        names += std::string(names.empty() ? "" : " nor ") + candidate->name();
    return {Verdict::problem, "USB library", "neither " + names + " can be loaded",
            "install libftdi1: sudo apt install libftdi1-2 (or FTDI's libftd2xx.so, then sudo ldconfig)"};
}

// libftdi1 opens the FT232 (0403:6001), FTDI's own library the first FTDI device.
const FtdiDevice* adapterAmong(const std::vector<FtdiDevice>& devices) {
    const auto ft232 = std::find_if(devices.begin(), devices.end(), [](const FtdiDevice& d) { return d.product == ft232Product; });
    if (ft232 != devices.end()) return &*ft232;
    return devices.empty() ? nullptr : &devices.front();
}

Finding usbDevice(const Machine& machine, const FtdiDevice* adapter) {
    if (!adapter)
        return {Verdict::problem, "USB adapter", "no FTDI device (USB vendor 0403) is plugged in",
                "plug the USB2LCD in; lsusb lists it as 0403:6001"};
    const std::string what = "the FTDI device 0403:" + adapter->product + " at " + adapter->node;
    const std::optional<FileFacts> file = machine.file(adapter->node);
    if (!file)
        return {Verdict::problem, "USB adapter", what + " has no device file", "plug the adapter in again"};
    if (machine.mayReadAndWrite(adapter->node)) return {Verdict::ok, "USB adapter", what + ", and " + machine.userName() + " may use it", ""};
    const std::string group = machine.groupName(file->group);
    if (group == "plugdev" && !machine.hasGroup(file->group))
        return {Verdict::problem, "USB adapter", what + " belongs to the group plugdev, which this login does not have",
                joinGroup(machine, *file)};
    return {Verdict::problem, "USB adapter", what + ", but " + machine.userName() + " may not read and write it",
            std::string("put this line into /etc/udev/rules.d/60-tessaranth-usb2lcd.rules: ") + udevRule +
                "; then sudo udevadm control --reload-rules, sudo usermod -aG plugdev \"$USER\", log out and in "
                "again and plug the adapter in again"};
}

// FTDI's own library cannot open a device that the kernel's serial driver holds; libftdi1 takes
// it from the driver by itself.
std::vector<Finding> serialDriver(const Machine& machine, const platform::UsbLibrary* library) {
    const auto candidates = platform::usb::native::candidates();
    if (!library || library != candidates.front() || !machine.moduleLoaded("ftdi_sio")) return {};
    return {{Verdict::warning, "USB adapter",
             std::string("the kernel's ftdi_sio driver is loaded; ") + library->name() + " cannot open a device it holds",
             "unload it: sudo modprobe -r ftdi_sio"}};
}

// The names on the bus, asked with a time-out on a connection of the doctor's own.
std::vector<std::string> busNames(const std::string& busAddress, std::string& failure) {
    constexpr int timeoutMillis = 3000;
    const auto bus = BusConnection::open(busAddress, failure);
    if (!bus) return {};
    const BusMessage reply = bus->callAndWait(busDriverCall("ListNames"), timeoutMillis);
    if (reply.type != BusMessage::Type::reply) failure = reply.errorText();
    std::vector<std::string> names;
    for (const MprisValue& name : reply.argument(0).items)
        if (name.kind == MprisValue::Kind::text) names.push_back(name.text);
    if (names.empty() && failure.empty()) failure = "no address";
    return names;
}

} // namespace

Finding deviceAccess(const Machine& machine, const std::string& topic, const std::string& device, const FileFacts& file,
                     const std::string& rootOnly) {
    const std::string user = machine.userName();
    if (machine.mayReadAndWrite(device)) return {Verdict::ok, topic, device + " is there, and " + user + " may read and write it", ""};
    if (file.group == 0 && !rootOnly.empty())
        return {Verdict::problem, topic, device + " belongs to root alone, and " + user + " may not read and write it", rootOnly};
    return {Verdict::problem, topic,
            device + " belongs to the group " + machine.groupName(file.group) + ", and " + user + " may not read and write it",
            joinGroup(machine, file)};
}

std::string busGroupAdvice(const char* group, const char* udevMatch) {
    const std::string rule = udevMatch + std::string(", GROUP=\"") + group + "\", MODE=\"0660\"";
    return "give it to the group " + std::string(group) + ": put this line into " + busRules + ": " + rule +
           "; then sudo groupadd -f " + group + ", sudo udevadm control --reload-rules, sudo udevadm trigger, "
           "sudo usermod -aG " + group + " \"$USER\", and log out and in again";
}

std::vector<Finding> checkParallelPort(const Machine& machine, uint16_t base) {
    Finding ppdev = ppdevDevice(machine, base);
    Finding direct = directAccess(machine, base, ppdev.verdict == Verdict::ok);
    if (direct.verdict == Verdict::ok && ppdev.verdict == Verdict::problem) ppdev.verdict = Verdict::warning;
    return {ppdev, direct};
}

std::vector<Finding> checkUsbAdapter(const Machine& machine) {
    const platform::UsbLibrary* library = loadableLibrary();
    const std::vector<FtdiDevice> devices = machine.ftdiDevices();
    std::vector<Finding> findings{usbLibrary(library), usbDevice(machine, adapterAmong(devices))};
    for (Finding& finding : serialDriver(machine, library)) findings.push_back(std::move(finding));
    return findings;
}

Finding checkMpd(const std::string& host, uint32_t port) {
    constexpr unsigned timeoutMillis = 3000;
    const char* name = host.empty() ? nullptr : host.c_str();
    std::unique_ptr<mpd_settings, decltype(&mpd_settings_free)> settings(
        mpd_settings_new(name, port, timeoutMillis, nullptr, nullptr), mpd_settings_free);
    const std::string where = settings ? std::string(mpd_settings_get_host(settings.get())) +
                                             (mpd_settings_get_port(settings.get()) ? ":" + std::to_string(mpd_settings_get_port(settings.get())) : "")
                                       : host;
    std::unique_ptr<mpd_connection, decltype(&mpd_connection_free)> connection(
        mpd_connection_new(name, port, timeoutMillis), mpd_connection_free);
    if (connection && mpd_connection_get_error(connection.get()) == MPD_ERROR_SUCCESS) {
        const unsigned* version = mpd_connection_get_server_version(connection.get());
        return {Verdict::ok, "MPD",
                "MPD " + std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]) +
                    " answers at " + where,
                ""};
    }
    const std::string reason = connection ? mpd_connection_get_error_message(connection.get()) : "out of memory";
    return {Verdict::warning, "MPD", "no MPD answers at " + where + " (" + reason + ")",
            "'tessaranth mpd' follows a running MPD: start it (for example systemctl --user start mpd) or name it "
            "with --host and --port; the demo needs none"};
}

Finding checkMpris(const std::string& busAddress) {
    std::string failure;
    std::string players;
    for (const std::string& name : busNames(busAddress, failure))
        if (name.starts_with(mpris::namePrefix)) players += (players.empty() ? "" : ", ") + name.substr(mpris::namePrefix.size());
    if (!failure.empty())
        return {Verdict::warning, "MPRIS", "no session bus to look for desktop players on (" + failure + ")",
                "'tessaranth mpris' follows the players of a desktop session: run it within the session"};
    if (players.empty())
        return {Verdict::warning, "MPRIS", "no MPRIS player is on the session bus",
                "'tessaranth mpris' follows a desktop player that speaks MPRIS (mpv with its mpris script, VLC, "
                "Rhythmbox, ...): start one; the demo needs none"};
    return {Verdict::ok, "MPRIS", "on the session bus: " + players, ""};
}

bool noProblem(const std::vector<Finding>& findings) {
    return std::none_of(findings.begin(), findings.end(), [](const Finding& f) { return f.verdict == Verdict::problem; });
}

} // namespace tessaranth::host
