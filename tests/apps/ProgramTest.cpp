// SPDX-License-Identifier: GPL-2.0-or-later
// The tessaranth program as a user runs it: exit codes, messages and what it leaves behind.
#include "ProgramRun.h"
#include "emu/RgbImage.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/FileDialogs.h"
#include "platform/posix/RegistryFile.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>
#include <fstream>
#include <map>
#include <vector>
#include <string>

namespace tessaranth::host {
namespace {

using test::fileText;
using test::Outcome;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    Outcome run(const std::string& arguments, const std::string& program = TESSARANTH_PROGRAM) {
        return test::runToEnd(program + " " + arguments, folder);
    }

    std::string folder = ::testing::TempDir() + "program-" + std::to_string(getpid());
};

TEST_F(ProgramTest, BadUsageEndsWithCode2AndOneLine) {
    for (const char* arguments : {"", "dance", "demo --frames", "demo --frames x", "mpd --port 99999",
                                  "demo --display hardware --trace t.txt", "config --seconds 3", "doctor --frames 3",
                                  "demo --controller x", "demo --bus i2c:/dev/i2c-1:0x99", "demo --save",
                                  "demo --controller ssd1306 --size 240x128", "demo --controller st7920 --bus lpt:0x378"}) {
        const Outcome o = run(arguments);
        EXPECT_EQ(o.exitCode, 2) << arguments;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << arguments << ": " << o.err;
        EXPECT_EQ(o.err.rfind("tessaranth: ", 0), 0u) << o.err;
    }
}

TEST_F(ProgramTest, HelpForEveryCommand) {
    for (const char* arguments : {"--help", "demo --help", "mpd --help", "config --help", "doctor --help"}) {
        const Outcome o = run(arguments);
        EXPECT_EQ(o.exitCode, 0) << arguments;
        EXPECT_EQ(o.out.rfind("usage: tessaranth", 0), 0u) << o.out;
        EXPECT_TRUE(o.err.empty());
    }
}

TEST_F(ProgramTest, FailuresEndWithCode1AndTheReason) {
    Outcome o = run("demo --display none --frames 2 --plugin /nonexistent/vis.so");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("cannot load the plug-in"), std::string::npos) << o.err;
    o = run("demo --display none --frames 2 --trace /nonexistent/trace.txt");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("cannot write the trace file"), std::string::npos) << o.err;
    o = run("demo --frames 2 --settings /nonexistent/settings.tzn");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("cannot read the configuration file"), std::string::npos) << o.err;
}

TEST_F(ProgramTest, DemoRunsItsFramesAndSaysWhatItShows) {
    const Outcome o = run("demo --view png:" + folder + "/frames --frames 6 --every 2 --trace " + folder + "/trace");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.rfind("tessaranth: ", 0), 0u);
    EXPECT_NE(o.out.find("the demo player on a virtual T6963C"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("Ctrl-C"), std::string::npos);
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 2) << "the showcase's line and the run's: " << o.out;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/frames"))
        files += entry.path().extension() == ".png";
    EXPECT_EQ(files, 3);
    const std::string trace = fileText(folder + "/trace");
    EXPECT_EQ(trace.rfind("W 037", 0), 0u) << "the start-up writes to the port at 0x378";
}

// A configuration file of the defaults on the given controller and display format.
std::string writeConfiguration(const std::string& path, uint8_t controller, uint8_t displayFormat) {
    loadPlugin();
    gSettings->setController(controller);
    gSettings->setDisplayFormat(displayFormat);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
    unloadPlugin();
    return path;
}

// The most common colour of a picture's pixels that are not the glass's darkest.
emu::Rgb brightestCommonColour(const emu::RgbImage& image) {
    std::map<std::tuple<int, int, int>, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const emu::Rgb c = image.pixel(x, y);
            if (c.red + c.green + c.blue > 300) ++counts[{c.red, c.green, c.blue}];
        }
    const auto most = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
    if (most == counts.end()) return {0, 0, 0};
    return {static_cast<uint8_t>(std::get<0>(most->first)), static_cast<uint8_t>(std::get<1>(most->first)),
            static_cast<uint8_t>(std::get<2>(most->first))};
}

// Today's displays through a run: the trace has a line per I2C message and per SPI transfer
// with its D/C level, and the virtual display shows them in the panel's colour asked for.
TEST_F(ProgramTest, TheTraceRecordsTheBusesOfTodaysDisplaysAndThePanelHasItsColour) {
    const std::string oled = writeConfiguration(folder + "/ssd1306.tzn", 7, 0);
    Outcome o = run("demo --settings " + oled + " --view png:" + folder + "/oled --frames 3 --panel blue --trace " +
                    folder + "/oled.trace");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("a virtual SSD1306 128x64 (blue) on I2C at 0x3C"), std::string::npos) << o.out;
    std::string trace = fileText(folder + "/oled.trace");
    EXPECT_EQ(trace.rfind("I 3C 00 ", 0), 0u) << "commands first, with their control byte: " << trace.substr(0, 80);
    EXPECT_NE(trace.find("\nI 3C 40 "), std::string::npos) << "display data";
    EXPECT_EQ(trace.find("\nW "), std::string::npos) << "no port access";
    const auto frame = emu::RgbImage::readPng(folder + "/oled/frame-000003.png");
    ASSERT_TRUE(frame);
    const emu::Rgb lit = brightestCommonColour(*frame);
    EXPECT_GT(lit.blue, lit.red + 100) << "a blue OLED";

    o = run("demo --settings " + oled + " --display none --frames 2");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.err.find("/dev/i2c"), std::string::npos) << "no display is no display, not the machine's bus: " << o.err;

    const std::string greyscale = writeConfiguration(folder + "/ssd1322.tzn", 11, 10);
    o = run("demo --settings " + greyscale + " --display none --frames 3 --trace " + folder + "/grey.trace");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    trace = fileText(folder + "/grey.trace");
    EXPECT_EQ(trace.rfind("S reset ", 0), 0u) << trace.substr(0, 80);
    EXPECT_NE(trace.find("\nS 0 "), std::string::npos) << "commands with D/C low";
    EXPECT_NE(trace.find("\nS 1 "), std::string::npos) << "data with D/C high";

    o = run("demo --settings " + greyscale + " --view png:" + folder + "/grey --frames 1 --panel yellow-blue");
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("SSD1322 panels are amber or white, not yellow-blue"), std::string::npos) << o.err;
}

TEST_F(ProgramTest, DemoShowsTheShowcaseOnlyWhileNothingIsStoredAndNeverStoresIt) {
    const std::string registry = folder + "/tessaranth/registry.reg";
    Outcome o = run("demo --display none --frames 3");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.rfind("tessaranth: no settings are stored, so the demo shows a showcase", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("'tessaranth config'"), std::string::npos) << o.out;
    EXPECT_TRUE(o.err.empty()) << "the showcase starts without the first-use boxes: " << o.err;
    EXPECT_FALSE(std::filesystem::exists(registry));

    loadPlugin();
    gSettings->setShowTime(1);
    const bool stored = gSettings->saveToRegistry();
    unloadPlugin();
    ASSERT_TRUE(stored);
    const std::string before = fileText(registry);
    o = run("demo --display none --frames 3");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.find("showcase"), std::string::npos) << o.out;
    EXPECT_EQ(fileText(registry), before);
}

// The registry's values by name, as a file holds them.
std::map<std::string, std::vector<uint8_t>> storedValues(const std::string& text) {
    platform::RegistryFile file("HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth");
    EXPECT_TRUE(file.parse(text));
    std::map<std::string, std::vector<uint8_t>> values;
    for (const auto& value : file.values()) values[value.name] = value.data;
    return values;
}

std::pair<uint32_t, uint32_t> pngSize(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    auto word = [&](int at) { return uint32_t{header[at]} << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
    return {word(16), word(20)};
}

TEST_F(ProgramTest, TheCommandLinesDisplayReachesThePluginAndIsNotStored) {
    const std::string registry = folder + "/tessaranth/registry.reg";
    loadPlugin();
    const bool stored = gSettings->saveToRegistry();  // a T6963C 128x64 on the LPT port
    unloadPlugin();
    ASSERT_TRUE(stored);
    const std::string before = fileText(registry);

    Outcome o = run("demo --controller ks0108b --size 192x64 --view png:" + folder + "/png --frames 1");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("KS0108B 192x64"), std::string::npos) << o.out;
    const auto [width, height] = pngSize(folder + "/png/frame-000001.png");
    EXPECT_EQ(width * 64, height * 192) << "the virtual display has the proportions of 192x64";
    EXPECT_EQ(fileText(registry), before);

    // The plug-in drives the bus it was told of, and says what is wrong with it; the run goes on.
    o = run("demo --display hardware --controller SSD1306 --bus i2c:/dev/i2c-77:0x3d --frames 3");
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("/dev/i2c-77"), std::string::npos) << o.err;
    o = run("demo --display hardware --controller ks0108b --bus gpio:gpiochip93,d0=1,strobe=2 --frames 3");
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("gpiochip93"), std::string::npos) << o.err;

    // On the virtual display, the messages go to the address given.
    o = run("demo --view png:" + folder + "/png --frames 1 --controller ssd1306 --size 128x32 --bus i2c:/dev/i2c-3:0x3d "
            "--trace " + folder + "/trace");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("SSD1306 128x32"), std::string::npos) << o.out;
    EXPECT_EQ(fileText(folder + "/trace").rfind("I 3D 00 ", 0), 0u) << "the first I2C message goes to 0x3D";
    EXPECT_EQ(fileText(registry), before) << "nothing is stored without --save";
}

TEST_F(ProgramTest, WithNothingStoredTheShowcaseSuitsTheCommandLinesDisplay) {
    const Outcome o = run("demo --view png:" + folder + "/png --frames 1 --controller sh1106");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("shows a showcase"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("a virtual SH1106 128x64"), std::string::npos) << o.out;
    EXPECT_TRUE(o.err.empty()) << "the showcase's picture has the SH1106's size: " << o.err;
    EXPECT_FALSE(std::filesystem::exists(folder + "/tessaranth/registry.reg"));
}

TEST_F(ProgramTest, SaveStoresExactlyTheCommandLinesDisplay) {
    const std::string registry = folder + "/tessaranth/registry.reg";
    loadPlugin();
    gSettings->setShowTime(1);
    gSettings->setLptAddress(0x278);
    const bool stored = gSettings->saveToRegistry();
    unloadPlugin();
    ASSERT_TRUE(stored);
    const auto before = storedValues(fileText(registry));

    Outcome o = run("demo --display none --frames 1 --save --controller ssd1306 --size 128x32 --bus i2c:/dev/i2c-3:0x3d");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("--save stored the display's settings as your own, in " + registry), std::string::npos) << o.out;
    const auto after = storedValues(fileText(registry));
    ASSERT_EQ(after.size(), before.size());
    const std::map<std::string, std::vector<uint8_t>> changed = {
        {"Controller", {7, 0, 0, 0}},
        {"Display format", {8, 0, 0, 0}},
        {"I2C device", {'/', 'd', 'e', 'v', '/', 'i', '2', 'c', '-', '3'}},
        {"I2C address", {0x3D, 0, 0, 0}}};
    for (const auto& [name, data] : after) {
        const auto expected = changed.find(name);
        EXPECT_EQ(data, expected == changed.end() ? before.at(name) : expected->second) << name;
    }

    // Into a configuration file instead: the file gets them, the stored settings stay.
    const std::string file = folder + "/panel.tzn";
    loadPlugin();
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
    unloadPlugin();
    const std::string registryBefore = fileText(registry);
    o = run("demo --display none --frames 1 --settings " + file + " --save --controller st7920 --bus spi:/dev/spidev0.1,hz=200000");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("--save stored the display's settings in " + file), std::string::npos) << o.out;
    EXPECT_EQ(fileText(registry), registryBefore);
    loadPlugin();
    std::string path = file;
    platform::setFileDialogHandler(
        [](void* context, const platform::FileDialogRequest&, char* out, std::size_t size) {
            std::snprintf(out, size, "%s", static_cast<std::string*>(context)->c_str());
            return true;
        },
        &path);
    ASSERT_TRUE(gSettings->loadFromFile());
    platform::setFileDialogHandler(nullptr, nullptr);
    EXPECT_EQ(gSettings->controller(), 10);
    EXPECT_EQ(gSettings->displayFormat(), 0) << "the ST7920's one size";
    EXPECT_STREQ(gSettings->bus().spiDevice, "/dev/spidev0.1");
    EXPECT_EQ(gSettings->bus().spiSpeedHz, 200'000u);
    unloadPlugin();
}

// A USB2LCD on a machine without one: the doctor's findings, its verdict and where the guide is.
TEST_F(ProgramTest, DoctorReportsWhatTheDisplayLacksAndExitsWithItsVerdict) {
    loadPlugin();
    gSettings->setController(6);
    gSettings->setDisplayFormat(3);
    const std::string file = folder + "/usb.tzn";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
    unloadPlugin();
    const Outcome o = run("doctor --settings " + file + " --host 127.0.0.1 --port 9");
    EXPECT_EQ(o.exitCode, 1) << o.out << o.err;
    EXPECT_EQ(o.out.rfind("tessaranth doctor: what USB2LCD 240x128 on the USB adapter needs on this machine\n", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("  problem  USB adapter         no FTDI device (USB vendor 0403) is plugged in\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("  warning  MPD                 no MPD answers at 127.0.0.1:9"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("The display cannot be driven until the problems above are fixed.\n"), std::string::npos);
    const std::string guide = "How to connect and set up each display: ";
    const std::size_t at = o.out.find(guide);
    ASSERT_NE(at, std::string::npos) << o.out;
    const std::string path = o.out.substr(at + guide.size(), o.out.find('\n', at) - at - guide.size());
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST_F(ProgramTest, AMessageOfSeveralLinesPrintsAsSeveralLines) {
    // Following an MPD that is not there, with nothing stored: the plug-in's own first-use boxes.
    const Outcome o = run("mpd --host 127.0.0.1 --port 1 --audio none --display none --frames 2");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.err.find("Tessaranth: This is the first time you're using Tessaranth.\n"
                         "            Click Configure to configure the plug-in.\n"),
              std::string::npos)
        << o.err;
}

TEST_F(ProgramTest, AWindowWithoutADisplayIsRefusedNotCrashedInto) {
    unsetenv("QT_QPA_PLATFORM");
    const Outcome o = run("demo --view window --frames 2");
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_EQ(o.err, "tessaranth: a window needs a graphical display (DISPLAY or WAYLAND_DISPLAY): use --view "
                     "terminal or --view png:DIR\n");
}

TEST_F(ProgramTest, TerminalViewWithoutATerminalEndsOnTime) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome o = run("demo --seconds 1");  // no display: the terminal view, into a file
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(o.out.find("in the terminal"), std::string::npos);
    EXPECT_NE(o.out.find("\x1b[?25h"), std::string::npos) << "the cursor comes back";
}

TEST_F(ProgramTest, ConfigTakesAPictureOfEveryPageOfTheDialog) {
    if (!std::filesystem::exists(std::filesystem::path(TESSARANTH_PLUGIN_PATH).parent_path() / "qt" / "tessaranth-dialog.so"))
        GTEST_SKIP() << "built without Qt, so without the dialog";
    unsetenv("QT_QPA_PLATFORM");  // no display at all: the pictures are taken offscreen
    const Outcome o = run("config --screenshot " + folder + "/pages");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    ASSERT_TRUE(std::filesystem::exists(folder + "/pages/page-01.png"));
    ASSERT_TRUE(std::filesystem::exists(folder + "/pages/page-02.png"));
    EXPECT_NE(fileText(folder + "/pages/page-01.png"), fileText(folder + "/pages/page-02.png")) << "the pages differ";
    const Outcome without = run("config");
    EXPECT_EQ(without.exitCode, 1) << "without a display the dialog cannot open";
    EXPECT_EQ(without.err, "tessaranth: the configuration dialog needs a graphical display (DISPLAY or WAYLAND_DISPLAY); "
                     "without one, use tessaranth config --set NAME=VALUE, --preset NAME and --show (see "
                     "tessaranth config --help)\n");
}

// The program and the plug-in alone, as the package without the dialog installs them: on a
// graphical display the demo is shown in the terminal, and config says what to do.
TEST_F(ProgramTest, WithoutTheDialogPackageTheProgramSaysWhatToInstall) {
    std::filesystem::create_directories(folder + "/bin");
    const std::string program = folder + "/bin/tessaranth", plugin = folder + "/bin/vis_lumidra.so";
    std::filesystem::copy_file(TESSARANTH_PROGRAM, program);
    std::filesystem::copy_file(TESSARANTH_PLUGIN_PATH, plugin);
    setenv("DISPLAY", ":97", 1);  // a display that the program must not need to reach
    Outcome o = run("demo --frames 2 --plugin " + plugin, program);
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("in the terminal"), std::string::npos) << o.out;
    EXPECT_NE(o.err.find("tessaranth: the window is not installed (tessaranth-dialog), so the display is shown in "
                         "the terminal\n"),
              std::string::npos)
        << o.err;
    o = run("demo --frames 2 --view window --plugin " + plugin, program);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("the window is not installed (no "), std::string::npos) << o.err;
    o = run("config --plugin " + plugin, program);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err, "tessaranth: the configuration dialog is not installed (no " + folder +
                         "/bin/qt/tessaranth-dialog.so): install tessaranth-dialog, or use tessaranth config --set "
                         "NAME=VALUE, --preset NAME and --show (see tessaranth config --help)\n");
    // One that cannot be loaded (its libraries missing, say) is no success either.
    std::filesystem::create_directories(folder + "/bin/qt");
    std::ofstream(folder + "/bin/qt/tessaranth-dialog.so") << "not a library";
    o = run("config --plugin " + plugin, program);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err.rfind("tessaranth: cannot load the configuration dialog: ", 0), 0u) << o.err;
    EXPECT_FALSE(std::filesystem::exists(folder + "/tessaranth/registry.reg"));
    unsetenv("DISPLAY");
}

TEST_F(ProgramTest, AMissingMpdIsReportedInTheFirstSecond) {
    const Outcome o = run("mpd --host 127.0.0.1 --port 9 --audio none --display none --seconds 1");
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const std::string line = "tessaranth: cannot reach MPD at 127.0.0.1:9 (Connection refused); trying again every second\n";
    const std::size_t at = o.err.find(line);
    EXPECT_NE(at, std::string::npos) << o.err;
    EXPECT_EQ(o.err.find(line, at + 1), std::string::npos) << "once, though the host tries again after a second";
}

// Interrupted once it has said that Ctrl-C stops it.
TEST_F(ProgramTest, InterruptEndsTheRunCleanly) {
    const std::string out = folder + "/out";
    const std::string command = std::string(TESSARANTH_PROGRAM) + " demo --display none >" + out + " 2>&1 </dev/null";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int wait = 0; wait < 200 && fileText(out).find("Ctrl-C") == std::string::npos; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace tessaranth::host
