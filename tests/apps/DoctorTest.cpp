// SPDX-License-Identifier: GPL-2.0-or-later
// The doctor on machines the test builds: a root folder with what the kernel would show (device
// files, loaded modules, USB devices, the device tree, /proc, the user and group files, a
// Raspberry Pi's config.txt), the owners, groups and ACL entries of its device files listed the
// way getfacl prints them, a user who is not root, stored settings of the test's own, and MPD
// present or not. Each finding says what it found, what to do, and whether the display can be
// driven. Nothing here needs root but the test of files that have their groups on disk, and
// the kernel's own decision for another user.
#include "MpdServer.h"
#include "doctor/BusChecks.h"
#include "doctor/Doctor.h"
#include "doctor/ServiceChecks.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/Usb.h"
#include "settings/Settings.h"

#include "controllers/ControllerTable.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace tessaranth::host {
namespace {

constexpr uid_t alice = 1000;
constexpr gid_t lp = 7;
constexpr gid_t plugdev = 46;
constexpr gid_t i2c = 998;
constexpr gid_t gpio = 997;

class DoctorTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        write("/etc/passwd", "root:x:0:0:root:/root:/bin/sh\nalice:x:1000:1000:Alice:/home/alice:/bin/sh\n");
        write("/etc/group", "root:x:0:\nlp:x:7:\nplugdev:x:46:\nalice:x:1000:\n");
    }
    void TearDown() override {
        platform::usb::native::setLibraryNames(nullptr, nullptr);
        std::filesystem::remove_all(folder);
    }

    void write(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(root + path).parent_path());
        std::ofstream(root + path) << text;
    }
    // A device file of root's and `group` (made when missing), with the mode bits `perms`
    // ("rw-rw----") and more ACL entries, listed in the tree's access.facl.
    void device(const std::string& path, const std::string& group, const std::string& perms, const std::string& more = "") {
        if (!std::filesystem::exists(std::filesystem::symlink_status(root + path))) write(path, "");
        described[path] = "# file: " + path + "\n# owner: root\n# group: " + group + "\nuser::" + perms.substr(0, 3) +
                          "\ngroup::" + perms.substr(3, 3) + "\nother::" + perms.substr(6, 3) + "\n" + more;
        std::string list;
        for (const auto& [node, record] : described) list += record + "\n";
        write("/access.facl", list);
    }
    void module(const std::string& name) { std::filesystem::create_directories(root + "/sys/module/" + name); }
    void ftdiDevice(const std::string& product) {
        const std::string usb = "/sys/bus/usb/devices/1-2";
        write(usb + "/idVendor", "0403\n");
        write(usb + "/idProduct", product + "\n");
        write(usb + "/busnum", "1\n");
        write(usb + "/devnum", "4\n");
    }
    // Settings stored the way the dialog stores them.
    template <class Change>
    void store(Change change) {
        loadPlugin();
        change(*gSettings);
        const bool stored = gSettings->saveToRegistry();
        unloadPlugin();
        ASSERT_TRUE(stored);
    }

    Machine machine(std::vector<gid_t> groups = {alice}) const {
        return Machine(root, {alice, std::move(groups)}, [this](uint16_t) { return directAccess; });
    }
    Doctor examine(std::vector<gid_t> groups = {alice}) {
        return Doctor(machine(std::move(groups)), {settingsFile, "127.0.0.1", mpdPort, "unix:path=" + folder + "/no-bus", ""});
    }
    static Finding about(const std::vector<Finding>& findings, const std::string& topic) {
        for (const Finding& finding : findings)
            if (finding.topic == topic) return finding;
        return {Verdict::ok, "", "(no such finding)", ""};
    }
    static Finding about(const Doctor& doctor, const std::string& topic) { return about(doctor.findings(), topic); }
    std::vector<Finding> busFindings(const Bus& bus, std::vector<gid_t> groups = {alice}) {
        const Machine tree = machine(std::move(groups));
        const std::optional<BootConfig> pi = BootConfig::read(tree);
        return checkBus(tree, bus, pi ? &*pi : nullptr);
    }
    // The first finding: the device file's.
    Finding busFinding(const Bus& bus, std::vector<gid_t> groups = {alice}) {
        const std::vector<Finding> findings = busFindings(bus, std::move(groups));
        return findings.empty() ? Finding{Verdict::problem, "", "no finding", ""} : findings.front();
    }
    static Bus i2cOn(const std::string& device, uint8_t address = 0x3C) { return {BusKind::i2c, 0, device, address, {}}; }
    static Bus spiOn(const std::string& device, std::vector<BusLine> lines = {}) {
        return {BusKind::spi, 0, device, 0, std::move(lines)};
    }
    static Bus gpioOn(const std::string& chip) { return {BusKind::gpio, 0, "", 0, {{"D0", chip, 0, true}}}; }

    std::string folder = ::testing::TempDir() + "doctor-" + std::to_string(getpid());
    std::string root = folder + "/root";
    std::string home = folder + "/home";
    std::string settingsFile;
    uint32_t mpdPort = test::freePort();
    bool directAccess = false;
    std::map<std::string, std::string> described;
};

TEST_F(DoctorTest, AMachineWithoutAParallelPortGetsTheModulesAndTheFallbackExplained) {
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::warning);
    EXPECT_NE(about(doctor, "settings").text.find("none are stored"), std::string::npos);
    EXPECT_NE(about(doctor, "settings").advice.find("tessaranth config"), std::string::npos);
    EXPECT_EQ(about(doctor, "display").text, "T6963C 128x64 on the parallel port at 0x378") << "the plug-in's defaults";
    EXPECT_EQ(about(doctor, "machine").text, "(no such finding)") << "no device tree";
    const Finding ppdev = about(doctor, "ppdev");
    EXPECT_EQ(ppdev.verdict, Verdict::problem);
    EXPECT_EQ(ppdev.text, "/dev/parport0 is missing: the kernel modules parport_pc and ppdev are not loaded");
    EXPECT_NE(ppdev.advice.find("sudo modprobe parport_pc ppdev"), std::string::npos);
    EXPECT_NE(ppdev.advice.find("/etc/modules-load.d/"), std::string::npos);
    EXPECT_EQ(about(doctor, "direct port access").verdict, Verdict::problem);
    EXPECT_EQ(doctor.exitStatus(), 1);

    module("parport_pc");
    module("ppdev");
    doctor = examine();
    EXPECT_NE(about(doctor, "ppdev").text.find("the kernel found no parallel port"), std::string::npos);
    EXPECT_NE(about(doctor, "ppdev").advice.find("firmware"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);

    directAccess = true;  // as root on an x86 machine
    doctor = examine();
    EXPECT_EQ(about(doctor, "ppdev").verdict, Verdict::warning);
    EXPECT_EQ(about(doctor, "direct port access").verdict, Verdict::ok);
    EXPECT_NE(about(doctor, "direct port access").advice.find("root"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 0);
}

TEST_F(DoctorTest, ThePortDevicesGroupDecidesWhetherTheUserMayDriveIt) {
    module("parport_pc");
    module("ppdev");
    store([](Settings& s) { s.setLptAddress(0x278); });
    device("/dev/parport1", "lp", "rw-rw----");
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "ppdev").text, "/dev/parport1 belongs to the group lp, and alice may not read and write it");
    EXPECT_EQ(about(doctor, "ppdev").advice, "join its group: sudo usermod -aG lp \"$USER\", then log out and in again");
    EXPECT_EQ(doctor.exitStatus(), 1);

    write("/etc/group", "lp:x:7:bob,alice\n");  // joined, but this login started before
    doctor = examine();
    EXPECT_NE(about(doctor, "ppdev").advice.find("log out and in again"), std::string::npos);
    EXPECT_EQ(about(doctor, "ppdev").advice.find("usermod"), std::string::npos);

    doctor = examine({alice, lp});
    EXPECT_EQ(about(doctor, "ppdev").verdict, Verdict::ok);
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::ok);
    EXPECT_EQ(doctor.exitStatus(), 0);

    store([](Settings& s) { s.setLptAddress(0x3F8); });
    doctor = examine({alice, lp});
    EXPECT_NE(about(doctor, "ppdev").text.find("no /dev/parport device belongs to the port address 0x3F8"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);
}

// Files the tree's list leaves out count with their owner, group and mode on disk; giving them
// a group the test's user is not in needs root.
TEST_F(DoctorTest, FilesTheTreeDoesNotListHaveTheirGroupsOnDisk) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a file a group of the tree's needs root";
    module("parport_pc");
    module("ppdev");
    write("/dev/parport0", "");
    ASSERT_EQ(chown((root + "/dev/parport0").c_str(), 0, lp), 0);
    ASSERT_EQ(chmod((root + "/dev/parport0").c_str(), 0660), 0);
    EXPECT_EQ(about(examine(), "ppdev").text, "/dev/parport0 belongs to the group lp, and alice may not read and write it");
    EXPECT_EQ(about(examine({alice, lp}), "ppdev").verdict, Verdict::ok);
}

TEST_F(DoctorTest, TheUsbAdapterNeedsALibraryTheDeviceAndAccessToIt) {
    store([](Settings& s) { s.setController(6); s.setDisplayFormat(3); });
    platform::usb::native::setLibraryNames("/nonexistent/libftd2xx.so", "/nonexistent/libftdi1.so.2");
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "display").text, "USB2LCD 240x128 on the USB adapter");
    EXPECT_EQ(about(doctor, "USB library").text,
              "neither /nonexistent/libftd2xx.so nor /nonexistent/libftdi1.so.2 can be loaded");
    EXPECT_NE(about(doctor, "USB library").advice.find("sudo apt install libftdi1-2"), std::string::npos);
    EXPECT_EQ(about(doctor, "USB adapter").text, "no FTDI device (USB vendor 0403) is plugged in");
    EXPECT_EQ(doctor.exitStatus(), 1);

    platform::usb::native::setLibraryNames("/nonexistent/libftd2xx.so", TESSARANTH_FAKE_FTDI_PATH);
    ftdiDevice("6001");
    device("/dev/bus/usb/001/004", "root", "rw-rw-r--");  // as udev leaves it without a rule
    doctor = examine();
    EXPECT_EQ(about(doctor, "USB library").verdict, Verdict::ok);
    const Finding adapter = about(doctor, "USB adapter");
    EXPECT_EQ(adapter.text, "the FTDI device 0403:6001 at /dev/bus/usb/001/004, but alice may not read and write it");
    EXPECT_NE(adapter.advice.find("/etc/udev/rules.d/60-tessaranth-usb2lcd.rules"), std::string::npos);
    EXPECT_NE(adapter.advice.find("ATTR{idVendor}==\"0403\", ATTR{idProduct}==\"6001\""), std::string::npos);
    EXPECT_NE(adapter.advice.find("TAG+=\"uaccess\""), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);

    // The rule's TAG+="uaccess": logind gives the user at the machine an ACL entry.
    device("/dev/bus/usb/001/004", "plugdev", "rw-rw-r--", "user:alice:rw-\nmask::rw-\n");
    doctor = examine();
    EXPECT_EQ(about(doctor, "USB adapter").verdict, Verdict::ok) << about(doctor, "USB adapter").text;
    EXPECT_EQ(doctor.exitStatus(), 0);

    device("/dev/bus/usb/001/004", "plugdev", "rw-rw----");  // the rule's group, over SSH
    EXPECT_EQ(about(examine(), "USB adapter").text,
              "the FTDI device 0403:6001 at /dev/bus/usb/001/004 belongs to the group plugdev, which this login does not have");
    doctor = examine({alice, plugdev});
    EXPECT_EQ(about(doctor, "USB adapter").verdict, Verdict::ok);
    EXPECT_EQ(doctor.exitStatus(), 0);

    // FTDI's own library first: it cannot open what the kernel's serial driver holds.
    platform::usb::native::setLibraryNames(TESSARANTH_FAKE_FTDI_PATH, nullptr);
    module("ftdi_sio");
    doctor = examine({alice, plugdev});
    const auto driver = std::find_if(doctor.findings().begin(), doctor.findings().end(),
                                     [](const Finding& f) { return f.advice == "unload it: sudo modprobe -r ftdi_sio"; });
    ASSERT_NE(driver, doctor.findings().end());
    EXPECT_EQ(driver->verdict, Verdict::warning);
    EXPECT_EQ(doctor.exitStatus(), 0);
}

// The kernel's order: the owner's entry alone for the owner, a named user's entry within the
// mask, and no others' entry for one who is in a group the list names.
TEST_F(DoctorTest, AccessListEntriesDecideTheWayTheKernelDecides) {
    write("/etc/group", "root:x:0:\ngpio:x:997:\ni2c:x:998:\n");
    const auto access = [this](const std::string& perms, const std::string& more, std::vector<gid_t> groups) {
        device("/dev/gpiochip0", "gpio", perms, more);
        return machine(std::move(groups)).mayReadAndWrite("/dev/gpiochip0");
    };
    EXPECT_TRUE(access("rw-------", "user:alice:rw-\nmask::rw-\n", {alice}));
    EXPECT_FALSE(access("rw-------", "user:alice:rw-\nmask::r--\n", {alice})) << "the mask limits a named user";
    EXPECT_FALSE(access("rw-------", "user:1000:r--\n", {alice})) << "a number names the user too";
    EXPECT_TRUE(access("rw-------", "group:i2c:rw-\nmask::rw-\n", {alice, i2c}));
    EXPECT_TRUE(access("rw-r-----", "group:i2c:rw-\nmask::rw-\n", {alice, gpio, i2c})) << "any group entry that grants it all";
    EXPECT_FALSE(access("rw-r--rw-", "", {alice, gpio})) << "a member of the owning group does not get the others' rights";
    EXPECT_TRUE(access("rw-r--rw-", "", {alice}));
    device("/dev/gpiochip0", "gpio", "---rw-rw-");
    std::string list = "# file: /dev/gpiochip0\n# owner: alice\n# group: gpio\nuser::---\nuser:alice:rw-\ngroup::rw-\nmask::rw-\nother::rw-\n";
    write("/access.facl", list);
    EXPECT_FALSE(machine({alice, gpio}).mayReadAndWrite("/dev/gpiochip0")) << "the owner's entry decides for the owner";
    EXPECT_TRUE(Machine(root, {0, {0}}, nullptr).mayReadAndWrite("/dev/gpiochip0")) << "root may";

    // Whatever the list holds, it is read within bounds and applies to no one it does not name.
    write("/access.facl", "# file: /dev/gpiochip0\n# owner: \\777\nuser:nobody-known:rw-\nuser:\ngroup:::\n:::\n"
                          "mask::\nuser:99999999999999999999:rw-\nother::-w-\n# file: \n\n" +
                              std::string(70000, 'x'));
    EXPECT_FALSE(machine({alice}).mayReadAndWrite("/dev/gpiochip0"));
    EXPECT_FALSE(machine({alice}).mayRead("/dev/gpiochip0"));
}

// On the machine itself the kernel decides, access control lists included.
TEST_F(DoctorTest, OnThisMachineTheKernelDecides) {
    const Machine self = Machine::thisMachine();
    const std::string file = folder + "/own";
    std::ofstream(file) << "";
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    EXPECT_TRUE(self.mayReadAndWrite(file));
    ASSERT_EQ(chmod(file.c_str(), 0400), 0);
    EXPECT_EQ(self.mayReadAndWrite(file), geteuid() == 0) << "root writes what its owner may not";
    EXPECT_TRUE(self.mayRead(file));
    EXPECT_FALSE(self.mayRead(folder + "/missing"));
    if (geteuid() != 0) return;

    // Root gives the file to no one but by an ACL entry for nobody, and asks as nobody.
    constexpr uid_t nobody = 65534;
    ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    const auto askAsNobody = [&] {
        const pid_t child = fork();
        if (child == 0) {
            const bool dropped = setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
            _exit(!dropped ? 2 : Machine::thisMachine().mayReadAndWrite(file) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
    };
    EXPECT_EQ(askAsNobody(), 1);
    // system.posix_acl_access: version 2, then tag, perms, id of each entry.
    const auto entry = [](uint16_t tag, uint16_t perms, uint32_t id) {
        std::string bytes(8, '\0');
        std::memcpy(bytes.data(), &tag, 2);
        std::memcpy(bytes.data() + 2, &perms, 2);
        std::memcpy(bytes.data() + 4, &id, 4);
        return bytes;
    };
    const uint32_t version = 2;
    std::string acl(reinterpret_cast<const char*>(&version), 4);
    acl += entry(0x01, 6, UINT32_MAX) + entry(0x02, 6, nobody) + entry(0x04, 0, UINT32_MAX) + entry(0x10, 6, UINT32_MAX) +
           entry(0x20, 0, UINT32_MAX);
    if (setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "the file system of " << folder << " keeps no access control lists";
    EXPECT_EQ(askAsNobody(), 0);
}

TEST_F(DoctorTest, SettingsThePluginCannotUseAreNamedAndUnknownDisplaysCannotBeDriven) {
    std::filesystem::create_directories(home + "/tessaranth");
    std::ofstream(home + "/tessaranth/registry.reg") << "not a registry file";
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::warning);
    EXPECT_NE(about(doctor, "settings").text.find("is damaged"), std::string::npos) << "the plug-in's own words";

    store([](Settings& s) { s.setController(12); });
    doctor = examine();
    EXPECT_EQ(about(doctor, "display").verdict, Verdict::problem);
    EXPECT_NE(about(doctor, "display").text.find("no driver"), std::string::npos) << about(doctor, "display").text << " / " << about(doctor, "settings").text;
    EXPECT_EQ(about(doctor, "ppdev").text, "(no such finding)") << "nothing to check for a display without a driver";
    EXPECT_EQ(doctor.exitStatus(), 1);

    store([](Settings& s) { s.setController(0); s.setDisplayFormat(12); });
    EXPECT_EQ(about(examine(), "display").verdict, Verdict::problem);

    settingsFile = folder + "/missing.tzn";
    doctor = examine();
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::problem);
    EXPECT_EQ(about(doctor, "settings").text, "cannot read the configuration file " + settingsFile);
    EXPECT_EQ(doctor.exitStatus(), 1);
}

TEST_F(DoctorTest, MpdIsLookedForButNeverStopsTheDisplay) {
    directAccess = true;
    Doctor doctor = examine();
    const Finding missing = about(doctor, "MPD");
    EXPECT_EQ(missing.verdict, Verdict::warning);
    EXPECT_EQ(missing.text.rfind("no MPD answers at 127.0.0.1:" + std::to_string(mpdPort) + " (", 0), 0u) << missing.text;
    EXPECT_NE(missing.advice.find("--host and --port"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 0);

    test::MpdServer server({});
    ASSERT_TRUE(server.start()) << server.error();
    mpdPort = server.port();
    const Finding running = about(examine(), "MPD");
    EXPECT_EQ(running.verdict, Verdict::ok);
    EXPECT_EQ(running.text.rfind("MPD 0.", 0), 0u) << running.text;
    EXPECT_NE(running.text.find("answers at 127.0.0.1:" + std::to_string(mpdPort)), std::string::npos);
}

// A Raspberry Pi's tree: its model in the device tree, its groups as Raspberry Pi OS has them,
// the header's GPIO chip given to the group gpio.
class RaspberryPiTest : public DoctorTest {
protected:
    void SetUp() override {
        DoctorTest::SetUp();
        write("/etc/group", "root:x:0:\nlp:x:7:\naudio:x:29:alice\ni2c:x:998:alice\nspi:x:999:\ngpio:x:997:alice\n");
        device("/dev/gpiochip0", "gpio", "rw-rw----");
    }
    void model(const std::string& path, const std::string& name) { write(path, name + std::string(1, '\0')); }
};

TEST_F(RaspberryPiTest, APi4OfAnOlderSystemKeepsItsSettingsInBootConfigTxt) {
    model("/proc/device-tree/model", "Raspberry Pi 4 Model B Rev 1.4");
    write("/boot/config.txt", "# see the documentation\ndtparam=audio=on\ndtparam=i2c_arm=on\n#dtparam=spi=on\n"
                              "dtoverlay=vc4-kms-v3d\n[pi5]\ndtparam=spi=on\n[all]\n");
    Doctor doctor = examine({alice, i2c});
    EXPECT_EQ(about(doctor, "machine").text, "Raspberry Pi 4 Model B Rev 1.4");
    const Finding config = about(doctor, "config.txt");
    EXPECT_EQ(config.text, "/boot/config.txt enables I2C bus 1 (i2c_arm, 100000 Hz)") << "the [pi5] section is not this Pi's";
    EXPECT_EQ(config.advice, "a display on I2C draws four times as many frames at 400 kHz: "
                             "dtparam=i2c_arm=on,i2c_arm_baudrate=400000");
    const Finding groups = about(doctor, "groups");
    EXPECT_EQ(groups.verdict, Verdict::warning);
    EXPECT_EQ(groups.text, "alice is in i2c; has joined gpio, audio, which this login is not in yet; is not in lp, spi");
    EXPECT_NE(groups.advice.find("log out and in again"), std::string::npos);
    EXPECT_EQ(about(doctor, "ppdev").verdict, Verdict::problem) << "today's settings: the parallel port, which a Pi lacks";

    // The buses the settings will name, each with its device file, its group and config.txt.
    const Finding spi = busFinding(spiOn("/dev/spidev0.0"));
    EXPECT_EQ(spi.text, "/dev/spidev0.0 is missing: /boot/config.txt does not enable the SPI bus 0 (chip select 0)");
    EXPECT_EQ(spi.advice, "add the line dtparam=spi=on to /boot/config.txt (below an [all] line), then reboot");
    EXPECT_NE(busFinding(spiOn("/dev/spidev1.1")).advice.find("dtoverlay=spi1-2cs"), std::string::npos);

    const Finding unloaded = busFinding(i2cOn("/dev/i2c-1"));
    EXPECT_EQ(unloaded.text, "/dev/i2c-1 is missing: the kernel module i2c-dev is not loaded");
    EXPECT_NE(unloaded.advice.find("sudo modprobe i2c-dev"), std::string::npos);
    module("i2c_dev");
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-1")).advice, "reboot: the firmware reads config.txt when the Pi starts");
    EXPECT_NE(busFinding(i2cOn("/dev/i2c-3")).advice.find("dtoverlay=i2c3 to /boot/config.txt"), std::string::npos);

    device("/dev/i2c-1", "i2c", "rw-rw----");
    EXPECT_NE(busFinding(i2cOn("/dev/i2c-1")).advice.find("this login is not yet"), std::string::npos);
    write("/etc/group", "root:x:0:\ni2c:x:998:\ngpio:x:997:alice\n");
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-1")).advice,
              "join its group: sudo usermod -aG i2c \"$USER\", then log out and in again");
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-1"), {alice, i2c}).verdict, Verdict::ok);

    const Finding relogin = busFinding(gpioOn("gpiochip0"));
    EXPECT_EQ(relogin.text, "/dev/gpiochip0 belongs to the group gpio, and alice may not read and write it");
    EXPECT_NE(relogin.advice.find("this login is not yet"), std::string::npos);
    EXPECT_EQ(busFinding(gpioOn("gpiochip0"), {alice, gpio}).text, "/dev/gpiochip0 is there, and alice may read and write it");
    device("/dev/gpiochip0", "root", "rw-------", "user:alice:rw-\nmask::rw-\n");
    EXPECT_EQ(busFinding(gpioOn("gpiochip0")).verdict, Verdict::ok) << "an ACL entry of its own";
    device("/dev/gpiochip0", "root", "rw-------");
    const Finding rootOnly = busFinding(gpioOn("gpiochip0"));
    EXPECT_EQ(rootOnly.text, "/dev/gpiochip0 belongs to root alone, and alice may not read and write it");
    EXPECT_NE(rootOnly.advice.find("SUBSYSTEM==\"gpio\", KERNEL==\"gpiochip*\", GROUP=\"gpio\", MODE=\"0660\""), std::string::npos);
    EXPECT_NE(rootOnly.advice.find("sudo groupadd -f gpio"), std::string::npos);
    EXPECT_EQ(busFinding(gpioOn("4")).text, "/dev/gpiochip4 is missing: the kernel has no such GPIO chip");

    // The report: one finding a line, as on a PC.
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    doctor.report(out);
    std::fclose(out);
    const std::string report(text, size);
    std::free(text);
    EXPECT_NE(report.find("\n  ok       machine             Raspberry Pi 4 Model B Rev 1.4\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\n  warning  groups              alice is in i2c;"), std::string::npos) << report;
}

TEST_F(RaspberryPiTest, APi5ReadsItsFirmwareFolderWithItsSectionsAndIncludes) {
    model("/sys/firmware/devicetree/base/model", "Raspberry Pi 5 Model B Rev 1.0");
    write("/boot/config.txt", "DO NOT EDIT THIS FILE\n\nThe file you are looking for has moved to /boot/firmware/config.txt\n");
    write("/boot/firmware/config.txt", "dtparam=i2c_arm=off\n[pi4]\ndtparam=spi=on\n[pi5]\n"
                                       "dtparam=i2c_arm=on,i2c_arm_baudrate=400000\n[all]\ninclude ../firmware/extra.txt\n");
    write("/boot/firmware/extra.txt", "[none]\ndtparam=spi=on\n[all]\n");
    write("/etc/group", "root:x:0:\nlp:x:7:\ni2c:x:998:\n");
    Doctor doctor = examine({alice, lp, i2c});
    EXPECT_EQ(about(doctor, "machine").text, "Raspberry Pi 5 Model B Rev 1.0");
    EXPECT_EQ(about(doctor, "config.txt").text, "/boot/firmware/config.txt enables I2C bus 1 (i2c_arm, 400000 Hz)");
    EXPECT_EQ(about(doctor, "config.txt").advice, "");
    EXPECT_EQ(about(doctor, "groups").text, "alice is in lp, i2c; the machine has no group spi, gpio, audio");
    EXPECT_EQ(about(doctor, "groups").verdict, Verdict::ok);
    EXPECT_EQ(busFinding(spiOn("/dev/spidev0.0")).advice,
              "add the line dtparam=spi=on to /boot/firmware/config.txt (below an [all] line), then reboot");

    write("/boot/firmware/extra.txt", "[pi5]\ndtparam=spi\n");  // a parameter without a value is on
    EXPECT_EQ(about(examine(), "config.txt").text,
              "/boot/firmware/config.txt enables I2C bus 1 (i2c_arm, 400000 Hz), SPI bus 0 (spi)");
    EXPECT_EQ(busFinding(spiOn("/dev/spidev0.0")).advice, "reboot: the firmware reads config.txt when the Pi starts");

    // Whatever config.txt holds, even an include of itself or of a FIFO, is read within bounds.
    ASSERT_EQ(mkfifo((root + "/boot/firmware/fifo.txt").c_str(), 0644), 0);
    write("/boot/firmware/config.txt", "include config.txt\ninclude fifo.txt\n[\n]\ndtparam=\ndtparam=,,=,spi=on\ndtoverlay=\n" +
                                           std::string(5000, '[') + "\n" + std::string(1 << 16, '\xff'));
    EXPECT_EQ(about(examine(), "config.txt").text, "/boot/firmware/config.txt enables SPI bus 0 (spi)");

    std::filesystem::remove_all(root + "/boot");
    const Finding none = about(examine(), "config.txt");
    EXPECT_EQ(none.verdict, Verdict::warning);
    EXPECT_EQ(none.text, "neither /boot/firmware/config.txt nor /boot/config.txt is there");
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-1")).text, "/dev/i2c-1 is missing: there is no config.txt to enable the I2C bus 1");

    model("/sys/firmware/devicetree/base/model", "Another Board");
    EXPECT_EQ(about(examine(), "machine").text, "Another Board");
    EXPECT_EQ(about(examine(), "config.txt").text, "(no such finding)") << "config.txt is a Pi's";
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-1")).text, "/dev/i2c-1 is missing: the kernel module i2c-dev is not loaded");
}

// An OLED on a Pi 4's I2C bus, from a bus that is not enabled to a display that answers.
TEST_F(RaspberryPiTest, AnOledOnAPi4sI2cBusNeedsTheBusTheDeviceFileAndAnAnswerAtItsAddress) {
    model("/proc/device-tree/model", "Raspberry Pi 4 Model B Rev 1.5");
    write("/boot/firmware/config.txt", "dtparam=audio=on\n[pi5]\ndtparam=i2c_arm=on\n[all]\n");
    store([](Settings& s) { s.setController(7); s.setDisplayFormat(0); });
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "display").text, "SSD1306 128x64 at 0x3C on /dev/i2c-1");
    EXPECT_EQ(about(doctor, "I2C").text, "/dev/i2c-1 is missing: /boot/firmware/config.txt does not enable the I2C bus 1");
    EXPECT_EQ(about(doctor, "I2C").advice,
              "add the line dtparam=i2c_arm=on to /boot/firmware/config.txt (below an [all] line), have the kernel module "
              "i2c-dev loaded at every boot: echo i2c-dev | sudo tee /etc/modules-load.d/i2c-dev.conf; then reboot")
        << "the bus alone makes no device file";
    EXPECT_EQ(about(doctor, "I2C address").text, "(no such finding)") << "no address to ask without the bus";
    EXPECT_EQ(about(doctor, "ppdev").text, "(no such finding)") << "the parallel port is not this display's";
    EXPECT_EQ(doctor.exitStatus(), 1);

    write("/boot/firmware/config.txt", "dtparam=i2c_arm=on\n");
    EXPECT_EQ(about(examine(), "I2C").text, "/dev/i2c-1 is missing: the kernel module i2c-dev is not loaded");
    module("i2c_dev");
    device("/dev/i2c-1", "i2c", "rw-rw----");
    write("/etc/group", "root:x:0:\ni2c:x:998:\n");
    doctor = examine();
    EXPECT_EQ(about(doctor, "I2C").text, "/dev/i2c-1 belongs to the group i2c, and alice may not read and write it");
    EXPECT_EQ(about(doctor, "I2C").advice, "join its group: sudo usermod -aG i2c \"$USER\", then log out and in again");
    EXPECT_EQ(doctor.exitStatus(), 1);

    device("/dev/i2c-1", "i2c", "rw-rw----", "user:alice:rw-\nmask::rw-\n");  // an ACL entry instead of the group
    doctor = examine();
    EXPECT_EQ(about(doctor, "I2C").verdict, Verdict::ok);
    const Finding silent = about(doctor, "I2C address");
    EXPECT_EQ(silent.verdict, Verdict::problem);
    EXPECT_EQ(silent.text, "nothing answers at 0x3C on /dev/i2c-1");
    EXPECT_NE(silent.advice.find("sudo i2cdetect -y 1"), std::string::npos);
    EXPECT_NE(silent.advice.find("(SDA on the header's pin 3, SCL on pin 5, power and ground)"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);

    write("/bus.answers", "i2c /dev/i2c-1 0x3c held\n");
    const Finding held = about(examine(), "I2C address");
    EXPECT_EQ(held.text, "a kernel driver holds 0x3C on /dev/i2c-1");
    EXPECT_NE(held.advice.find("/sys/bus/i2c/devices/1-003c/driver"), std::string::npos);

    write("/bus.answers", "i2c /dev/i2c-1 0x3d answers\n");
    EXPECT_EQ(about(examine(), "I2C address").verdict, Verdict::problem) << "another address answers";
    write("/bus.answers", "i2c /dev/i2c-1 0x3C answers\n");
    doctor = examine({alice, i2c});
    EXPECT_EQ(about(doctor, "I2C address").text, "a device answers at 0x3C on /dev/i2c-1");
    EXPECT_EQ(doctor.exitStatus(), 0);

    // The bus and address the settings give, wherever the display is.
    EXPECT_EQ(busFindings(i2cOn("/dev/i2c-1", 0x3D)).back().text, "nothing answers at 0x3D on /dev/i2c-1");
    EXPECT_EQ(busFinding(i2cOn("/dev/i2c-22")).advice, "add the line dtoverlay=i2c22 to /boot/firmware/config.txt (below an "
                                                       "[all] line), then reboot");
    EXPECT_EQ(busFinding(i2cOn("/dev/my-i2c")).text, "/dev/my-i2c is missing: the kernel has no I2C bus of /dev/my-i2c")
        << "config.txt makes no such name";
}

// The SPI displays on a Pi 5: the device file, spidev's transfer size, the D/C and reset lines
// on the header's chip (named by its label, as its number moved between kernels).
TEST_F(RaspberryPiTest, AnSpiDisplayOnAPi5NeedsTheDeviceFileAndItsLinesFree) {
    model("/proc/device-tree/model", "Raspberry Pi 5 Model B Rev 1.0");
    write("/boot/firmware/config.txt", "dtparam=i2c_arm=on\n");
    write("/etc/group", "root:x:0:\nspi:x:999:\ngpio:x:997:\n");
    constexpr gid_t spi = 999;
    store([](Settings& s) { s.setController(11); s.setDisplayFormat(10); });
    Doctor doctor = examine({alice, spi, gpio});
    EXPECT_EQ(about(doctor, "display").text, "SSD1322 256x64 on /dev/spidev0.0");
    EXPECT_EQ(about(doctor, "SPI").advice, "add the line dtparam=spi=on to /boot/firmware/config.txt (below an [all] line), "
                                           "then reboot");
    EXPECT_EQ(about(doctor, "GPIO").text, "/dev/gpiochip0 is there, and alice may read and write it");
    EXPECT_EQ(about(doctor, "GPIO lines").text, "/dev/gpiochip0 does not answer as a GPIO chip") << "nothing recorded";
    EXPECT_EQ(doctor.exitStatus(), 1);

    write("/boot/firmware/config.txt", "[pi5]\ndtparam=spi=on\n");
    device("/dev/spidev0.0", "spi", "rw-rw----");
    write("/bus.answers", "gpiochip /dev/gpiochip0 54 pinctrl-rp1\ngpioline /dev/gpiochip0 24 pwm-fan\n");
    doctor = examine({alice, spi, gpio});
    EXPECT_EQ(about(doctor, "SPI").verdict, Verdict::ok);
    EXPECT_EQ(about(doctor, "SPI transfers").verdict, Verdict::warning) << "no bufsiz to read";
    const Finding busy = about(doctor, "GPIO lines");
    EXPECT_EQ(busy.text, "line 24 (D/C) of /dev/gpiochip0 is in use by pwm-fan");
    EXPECT_NE(busy.advice.find("gpioinfo"), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);

    EXPECT_EQ(about(examine({alice, gpio}), "SPI").text, "/dev/spidev0.0 belongs to the group spi, and alice may not read and "
                                                         "write it");
    device("/dev/spidev0.0", "spi", "rw-rw----", "group:gpio:rw-\nmask::rw-\n");  // an ACL entry of another group
    EXPECT_EQ(about(examine({alice, gpio}), "SPI").verdict, Verdict::ok);
    device("/dev/spidev0.0", "spi", "rw-rw----");
    write("/sys/module/spidev/parameters/bufsiz", "4096\n");
    write("/bus.answers", "gpiochip /dev/gpiochip0 54 pinctrl-rp1\ngpioline /dev/gpiochip0 25 tessaranth\n");
    doctor = examine({alice, spi, gpio});
    EXPECT_EQ(about(doctor, "SPI transfers").text,
              "spidev takes up to 4096 bytes a transfer (/sys/module/spidev/parameters/bufsiz)");
    EXPECT_EQ(about(doctor, "GPIO lines").text, "line 25 (reset) of /dev/gpiochip0 is held by tessaranth: a display is running");
    EXPECT_EQ(about(doctor, "GPIO lines").verdict, Verdict::warning);
    EXPECT_EQ(doctor.exitStatus(), 0);

    write("/bus.answers", "gpiochip /dev/gpiochip0 54 pinctrl-rp1\n");
    doctor = examine({alice, spi, gpio});
    EXPECT_EQ(about(doctor, "GPIO lines").text, "line 24 (D/C), line 25 (reset) of /dev/gpiochip0 (pinctrl-rp1) are free");
    EXPECT_EQ(doctor.exitStatus(), 0);

    // The ST7920 takes no D/C line: only its reset line is asked for.
    store([](Settings& s) { s.setController(10); s.setDisplayFormat(0); });
    doctor = examine({alice, spi, gpio});
    EXPECT_EQ(about(doctor, "display").text, "ST7920 128x64 on /dev/spidev0.0");
    EXPECT_EQ(about(doctor, "GPIO lines").text, "line 25 (reset) of /dev/gpiochip0 (pinctrl-rp1) is free");

    // Lines by the chip's label, on another chip, or not set.
    const std::vector<BusLine> byLabel{{"D/C", "pinctrl-rp1", 24, true}, {"reset", "", -1, false}};
    EXPECT_EQ(busFindings(spiOn("/dev/spidev0.0", byLabel), {alice, spi, gpio}).back().text,
              "line 24 (D/C) of /dev/gpiochip0 (pinctrl-rp1) is free");
    const Finding unopened = about(busFindings(spiOn("/dev/spidev0.0", byLabel), {alice, spi}), "GPIO");
    EXPECT_EQ(unopened.text, "no GPIO chip alice may open is labelled pinctrl-rp1: /dev/gpiochip0 belongs to the group "
                             "gpio, and alice may not read and write it")
        << "the kernel tells a chip's label only to who may open it";
    EXPECT_NE(unopened.advice.find("usermod -aG gpio"), std::string::npos);
    const std::vector<BusLine> elsewhere{{"D/C", "pinctrl-bcm2712", 24, true}, {"reset", "gpiochip0", 60, false}};
    std::vector<Finding> findings = busFindings(spiOn("/dev/spidev0.0", elsewhere), {alice, spi, gpio});
    EXPECT_EQ(about(findings, "GPIO").text, "no GPIO chip is labelled pinctrl-bcm2712");
    EXPECT_EQ(findings.back().text, "/dev/gpiochip0 (pinctrl-rp1) has 54 lines, no line 60 (reset)");
    EXPECT_EQ(about(busFindings(spiOn("/dev/spidev0.0", {{"D/C", "", -1, true}}), {alice, spi}), "GPIO lines").text,
              "no GPIO line is set for D/C");

    // Whatever the answers hold is read within bounds.
    write("/bus.answers", "gpiochip\ngpiochip /dev/gpiochip0 99999999999999999999 x\ngpioline /dev/gpiochip0 -1 x\n"
                          "i2c /dev/i2c-1 0x3c\ni2c /dev/i2c-1 0x80 answers\ni2c /dev/i2c-1 zz answers\n" +
                              std::string(70000, 'x'));
    EXPECT_EQ(about(examine({alice, spi, gpio}), "GPIO lines").text, "/dev/gpiochip0 does not answer as a GPIO chip");
}

// The parallel-port controllers on a Pi's header: the chip, eight data lines and the control
// lines the wiring names, each free and none twice.
TEST_F(RaspberryPiTest, AParallelControllerOnGpioNeedsEveryDataLineFreeOnceEach) {
    model("/proc/device-tree/model", "Raspberry Pi 4 Model B Rev 1.4");
    write("/boot/firmware/config.txt", "dtparam=spi=on\n");
    write("/bus.answers", "gpiochip /dev/gpiochip0 58 pinctrl-bcm2711\ngpiochip /dev/gpiochip1 8 raspberrypi-exp-gpio\n"
                          "gpioline /dev/gpiochip0 8 spi0 CS0\n");
    BusSetup setup;
    setup.parallelOnGpio = true;
    std::snprintf(setup.parallelChip, sizeof setup.parallelChip, "%s", "pinctrl-bcm2711");
    const int32_t data[8] = {4, 5, 6, 12, 13, 16, 19, 20};
    std::copy(std::begin(data), std::end(data), setup.dataLines);
    setup.controlLines[0] = 21;
    setup.controlLines[3] = 26;
    const ControllerRow& ks0108b = *findController(3);
    const Bus bus = busOf(ks0108b, 0x378, setup);
    EXPECT_EQ(describe(bus), "on GPIO lines of pinctrl-bcm2711");
    const Finding relogin = busFinding(bus);
    EXPECT_EQ(relogin.text, "no GPIO chip alice may open is labelled pinctrl-bcm2711: /dev/gpiochip0 belongs to the group "
                            "gpio, and alice may not read and write it");
    EXPECT_NE(relogin.advice.find("this login is not yet"), std::string::npos);

    std::vector<Finding> findings = busFindings(bus, {alice, gpio});
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findings[1].text, "line 4 (D0), line 5 (D1), line 6 (D2), line 12 (D3), line 13 (D4), line 16 (D5), line 19 "
                                "(D6), line 20 (D7), line 21 (pin 1), line 26 (pin 17) of /dev/gpiochip0 "
                                "(pinctrl-bcm2711) are free");
    EXPECT_TRUE(noProblem(findings));

    setup.dataLines[2] = 8;    // the SPI bus's chip select
    setup.dataLines[7] = -1;   // not set
    setup.controlLines[3] = 5; // D1's line
    findings = busFindings(busOf(ks0108b, 0x378, setup), {alice, gpio});
    EXPECT_FALSE(noProblem(findings));
    EXPECT_EQ(about(findings, "GPIO lines").text, "no GPIO line is set for D7");
    const auto said = [&](const std::string& text) {
        return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) { return f.text == text; });
    };
    EXPECT_TRUE(said("line 8 (D2) of /dev/gpiochip0 is in use by spi0 CS0"));
    EXPECT_TRUE(said("line 5 of /dev/gpiochip0 is set for both D1 and pin 17"));

    setup.parallelOnGpio = false;  // the same controller on the LPT port
    EXPECT_EQ(describe(busOf(ks0108b, 0x278, setup)), "on the parallel port at 0x278");
    EXPECT_EQ(describe(busOf(*findController(6), 0x378, setup)), "on the USB adapter");
}

TEST_F(DoctorTest, TheMusicForTheVisualisationsComesFromMpdsFifoOrTheSoundServer) {
    Finding sound = checkSound(machine());
    EXPECT_EQ(sound.verdict, Verdict::warning);
    EXPECT_EQ(sound.text, "there is no MPD configuration (/etc/mpd.conf), and alice has no sound server: the "
                          "visualisations get no sound");
    EXPECT_NE(sound.advice.find("audio_output { type \"fifo\""), std::string::npos);
    write("/run/user/1000/pulse/native", "");
    EXPECT_EQ(checkSound(machine()).text, "there is no MPD configuration (/etc/mpd.conf); the visualisations hear the "
                                          "sound server at /run/user/1000/pulse/native");

    write("/etc/mpd.conf", "music_directory \"/srv/music\"\naudio_output {\n  type \"alsa\"\n  name \"DAC\"\n}\n"
                           "audio_output {\n\ttype\t\"fifo\"\n\tname \"visualiser\"  # for tessaranth\n"
                           "\tpath \"/tmp/mpd.fifo\"\n\tformat \"44100:16:2\"\n}\n");
    const std::string fifo = "MPD's fifo output (/etc/mpd.conf) writes /tmp/mpd.fifo";
    EXPECT_EQ(checkSound(machine()).text, fifo + ", which is not there");
    write("/tmp/mpd.fifo", "");
    EXPECT_EQ(checkSound(machine()).text, fifo + ", which is no FIFO");
    std::filesystem::remove(root + "/tmp/mpd.fifo");
    ASSERT_EQ(mkfifo((root + "/tmp/mpd.fifo").c_str(), 0644), 0);
    sound = checkSound(machine());
    EXPECT_EQ(sound.verdict, Verdict::ok);
    EXPECT_EQ(sound.text, fifo + ", and alice may read it");
    EXPECT_NE(sound.advice.find("--fifo /tmp/mpd.fifo"), std::string::npos);
    device("/tmp/mpd.fifo", "audio", "rw-r-----");
    EXPECT_EQ(checkSound(machine()).text, fifo + ", which alice may not read");

    write("/home/alice/.config/mpd/mpd.conf", "audio_output {\ntype \"pulse\"\n}\n");  // MPD as the user's own
    EXPECT_EQ(checkSound(machine()).text, "MPD has no fifo output (/home/alice/.config/mpd/mpd.conf); the visualisations "
                                          "hear the sound server at /run/user/1000/pulse/native");
}

TEST_F(DoctorTest, TheServicesCpuIsReadFromProc) {
    const long ticks = sysconf(_SC_CLK_TCK);
    const auto process = [&](const std::string& id, const std::string& arguments, long cpuTicks, long startTicks) {
        write("/proc/" + id + "/comm", "tessaranth\n");
        write("/proc/" + id + "/cmdline", arguments);
        write("/proc/" + id + "/status", "Name:\ttessaranth\nUmask:\t0022\nUid:\t1000\t1000\t1000\t1000\n");
        write("/proc/" + id + "/stat", id + " (tessaranth) S 1 " + id + " " + id + " 0 -1 4194560 300 0 0 0 " +
                                           std::to_string(cpuTicks) + " 0 0 0 20 0 3 0 " + std::to_string(startTicks) +
                                           " 123456 789 18446744073709551615\n");
    };
    write("/proc/uptime", "7200.00 27000.00\n");
    write("/proc/stat", "cpu  1 2 3 4\ncpu0 1 2 3 4\ncpu1 1 2 3 4\ncpu2 1 2 3 4\ncpu3 1 2 3 4\nintr 5\n");
    std::vector<Finding> service = checkService(machine());
    ASSERT_EQ(service.size(), 1u);
    EXPECT_EQ(service[0].text, "no tessaranth is running besides the doctor");

    using namespace std::string_literals;
    process("812", "/usr/bin/tessaranth\0mpd\0--display\0hardware\0"s, 36 * ticks, 3600 * ticks);
    process("900", "tessaranth\0doctor\0"s, 0, 7000 * ticks);
    write("/proc/901/comm", "bash\n");
    write("/proc/902/comm", "tessaranth\n");
    write("/proc/902/stat", "902 (tessaranth) S 1 2)");  // cut short while it ended
    service = checkService(machine());
    ASSERT_EQ(service.size(), 1u);
    EXPECT_EQ(service[0].verdict, Verdict::ok);
    EXPECT_EQ(service[0].text, "tessaranth mpd --display hardware (process 812 of alice) has used 1.0 % of a CPU since "
                               "it started 1 h 0 min ago; the machine has 4");

    process("812", "/usr/bin/tessaranth\0mpd\0"s, 3000 * ticks, 3600 * ticks);
    service = checkService(machine());
    EXPECT_EQ(service[0].verdict, Verdict::warning);
    EXPECT_NE(service[0].text.find("83.3 %"), std::string::npos) << service[0].text;
    EXPECT_NE(service[0].advice.find("update delay"), std::string::npos);
}

} // namespace
} // namespace tessaranth::host
