// The doctor on machines the test builds: a root folder with what the kernel would show (device
// files, loaded modules, USB devices, the user and group files), a user who is not root, stored
// settings of the test's own, and MPD present or not. Each finding says what it found, what to
// do, and whether the display can be driven.
#include "MpdServer.h"
#include "doctor/Doctor.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/Usb.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tessaranth::host {
namespace {

constexpr uid_t alice = 1000;
constexpr gid_t lp = 7;
constexpr gid_t plugdev = 46;

class DoctorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "giving the tree's device files their groups needs root";
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
    void device(const std::string& path, gid_t group, std::filesystem::perms mode) {
        write(path, "");
        ASSERT_EQ(chown((root + path).c_str(), 0, group), 0);
        std::filesystem::permissions(root + path, mode);
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

    Doctor examine(std::vector<gid_t> groups = {alice}) {
        const Machine machine(root, {alice, std::move(groups)}, [this](uint16_t) { return directAccess; });
        return Doctor(machine, {settingsFile, "127.0.0.1", mpdPort, "unix:path=" + folder + "/no-bus", ""});
    }
    static const Finding& about(const Doctor& doctor, const std::string& topic) {
        static const Finding none{Verdict::ok, "", "(no such finding)", ""};
        for (const Finding& finding : doctor.findings())
            if (finding.topic == topic) return finding;
        return none;
    }

    std::string folder = ::testing::TempDir() + "doctor-" + std::to_string(getpid());
    std::string root = folder + "/root";
    std::string home = folder + "/home";
    std::string settingsFile;
    uint32_t mpdPort = test::freePort();
    bool directAccess = false;
};

using std::filesystem::perms;
constexpr perms readWriteForGroup = perms::owner_read | perms::owner_write | perms::group_read | perms::group_write;

TEST_F(DoctorTest, AMachineWithoutAParallelPortGetsTheModulesAndTheFallbackExplained) {
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::warning);
    EXPECT_NE(about(doctor, "settings").text.find("none are stored"), std::string::npos);
    EXPECT_NE(about(doctor, "settings").advice.find("tessaranth config"), std::string::npos);
    EXPECT_EQ(about(doctor, "display").text, "T6963C 128x64 on the parallel port at 0x378") << "the plug-in's defaults";
    const Finding& ppdev = about(doctor, "ppdev");
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
    device("/dev/parport1", lp, readWriteForGroup);
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
    device("/dev/bus/usb/001/004", 0, readWriteForGroup | perms::others_read);  // as udev leaves it without a rule
    doctor = examine();
    EXPECT_EQ(about(doctor, "USB library").verdict, Verdict::ok);
    const Finding& adapter = about(doctor, "USB adapter");
    EXPECT_EQ(adapter.text, "the FTDI device 0403:6001 at /dev/bus/usb/001/004, but alice may not read and write it");
    EXPECT_NE(adapter.advice.find("/etc/udev/rules.d/60-tessaranth-usb2lcd.rules"), std::string::npos);
    EXPECT_NE(adapter.advice.find("ATTR{idVendor}==\"0403\", ATTR{idProduct}==\"6001\""), std::string::npos);
    EXPECT_EQ(doctor.exitStatus(), 1);

    device("/dev/bus/usb/001/004", plugdev, readWriteForGroup);  // the rule at work
    doctor = examine({alice, plugdev});
    EXPECT_EQ(about(doctor, "USB adapter").verdict, Verdict::ok);
    EXPECT_EQ(doctor.exitStatus(), 0);

    // FTDI's own library first: it cannot open what the kernel's serial driver holds.
    platform::usb::native::setLibraryNames(TESSARANTH_FAKE_FTDI_PATH, nullptr);
    module("ftdi_sio");
    doctor = examine({alice, plugdev});
    ASSERT_EQ(doctor.findings().size(), 7u) << "settings, display, library, adapter, driver, MPD, MPRIS";
    EXPECT_EQ(doctor.findings()[4].verdict, Verdict::warning);
    EXPECT_EQ(doctor.findings()[4].advice, "unload it: sudo modprobe -r ftdi_sio");
    EXPECT_EQ(doctor.exitStatus(), 0);
}

TEST_F(DoctorTest, SettingsThePluginCannotUseAreNamedAndUnknownDisplaysCannotBeDriven) {
    std::filesystem::create_directories(home + "/tessaranth");
    std::ofstream(home + "/tessaranth/registry.reg") << "not a registry file";
    Doctor doctor = examine();
    EXPECT_EQ(about(doctor, "settings").verdict, Verdict::warning);
    EXPECT_NE(about(doctor, "settings").text.find("is damaged"), std::string::npos) << "the plug-in's own words";

    store([](Settings& s) { s.setController(7); });
    doctor = examine();
    EXPECT_EQ(about(doctor, "display").verdict, Verdict::problem);
    EXPECT_NE(about(doctor, "display").text.find("no driver"), std::string::npos);
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
    const Finding& missing = about(doctor, "MPD");
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

} // namespace
} // namespace tessaranth::host
