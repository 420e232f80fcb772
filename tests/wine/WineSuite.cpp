// SPDX-License-Identifier: GPL-2.0-or-later
// The Windows DLL for real: loaded by a Win32 host under Wine, with the real registry, window
// messages, message boxes and a recording port library.
#include "T6963CDecoder.h"
#include "WineHost.h"

#include <gtest/gtest.h>

#include "emu/T6963CEmulator.h"
#include "emu/VirtualDisplay.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace tessaranth::test {
namespace {

class WineSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { WineHost::createPrefix(); }
    static void TearDownTestSuite() { WineHost::removePrefix(); }
};

TEST_F(WineSuite, HostLoadsTheRecordsAndRunsACycle) {
    const WineRun run = WineHost::run({"--frames", "3"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.has("exports 1 1 1")) << "winampVisGetHeader, _winampVisGetHeader, tessaranthSetHostServices";
    EXPECT_TRUE(run.has("header 257 Tessaranth v0.9.3 beta"));
    EXPECT_TRUE(run.has("lookup 1 1"));
    EXPECT_TRUE(run.has("module Tessaranth graphical LCD plug-in"));
    EXPECT_EQ(run.after("delay "), (std::vector<std::string>{"40", "60"}));
    EXPECT_TRUE(run.has("init 0"));
    EXPECT_EQ(run.after("render ").size(), 3u);
    EXPECT_TRUE(run.has("free 1"));
    EXPECT_TRUE(run.has("windows left 0"));
    EXPECT_TRUE(run.has("done"));
}

// The recording port library's log: "W <port> <value>" or "R <port>", in hex.
std::vector<PortAccess> portAccesses(const std::string& log) {
    std::vector<PortAccess> accesses;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string kind;
        unsigned port = 0, value = 0;
        fields >> kind >> std::hex >> port >> value;
        if (kind == "W" || kind == "R")
            accesses.push_back({kind == "W", static_cast<uint16_t>(port), static_cast<uint16_t>(value)});
    }
    return accesses;
}

TEST_F(WineSuite, TheDefaultRecordDrivesAT6963CThroughThePortLibrary) {
    const WineRun run = WineHost::run({"--frames", "0"});
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<PortAccess> accesses = portAccesses(run.portLog);
    ASSERT_FALSE(accesses.empty()) << "the DLL did not reach DlPortIO.dll";
    EXPECT_EQ(accesses[0], (PortAccess{true, 0x37A, 4}));
    const BusItems items = decodeT6963C(accesses);
    const BusItems init = initItems(0, 22, 512, 24, 64);  // a text area of 22 at 128 wide
    ASSERT_GT(items.size(), init.size());
    EXPECT_EQ(BusItems(items.begin(), items.begin() + static_cast<long>(init.size())), init);
    const auto reads = std::count_if(accesses.begin(), accesses.end(), [](const PortAccess& a) { return !a.write; });
    EXPECT_EQ(static_cast<std::size_t>(reads), 2 * items.size()) << "slower timing: two delay reads per cycle";
}


const char* const settingsKey = "HKCU\\Software\\Kolvy\\Graphical LCD\\Tessaranth";
const char* const firstUseBox =
    "Tessaranth|This is the first time you're using Tessaranth.\\nClick Configure to configure the plug-in.";

struct StoredValue {
    std::string type;
    std::string data;
    bool operator==(const StoredValue&) const = default;
};

// The values under the settings key, as the registry tool lists them: name, type and data
// separated by four spaces.
std::map<std::string, StoredValue> storedValues() {
    std::string listing;
    WineHost::tool({"reg", "query", settingsKey}, &listing);
    std::map<std::string, StoredValue> values;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("    ", 0) != 0) continue;
        const auto typeAt = line.find("    ", 4);
        const auto dataAt = line.find("    ", typeAt + 4);
        if (typeAt == std::string::npos) continue;
        values[line.substr(4, typeAt - 4)] = {line.substr(typeAt + 4, dataAt == std::string::npos ? std::string::npos : dataAt - typeAt - 4),
                                              dataAt == std::string::npos ? "" : line.substr(dataAt + 4)};
    }
    return values;
}

void forgetSettings() { WineHost::tool({"reg", "delete", "HKCU\\Software\\Kolvy", "/f"}); }

// The identifier of the dialog control that the host listed with this class and caption.
int controlId(const WineRun& run, const std::string& classAndCaption) {
    for (const std::string& line : run.after("control ")) {
        const auto space = line.find(' ');
        if (line.substr(space + 1) == classAndCaption) return std::stoi(line.substr(0, space));
    }
    return -1;
}

// Saves the settings through the dialog's "Save settings" button, with the update delay
// typed as 25, and keeps a copy of the key to restore it for later tests.
const std::string& savedSettings() {
    static const std::string saved = [] {
        forgetSettings();
        const WineRun listing = WineHost::run({"--frames", "0", "--config"});
        const int save = controlId(listing, "Button|Save settings");
        const int delay = controlId(listing, "Static|Update every") + 1;
        WineHost::run({"--frames", "0", "--config", "--dialog", std::to_string(delay) + "=25", "--dialog-close",
                       std::to_string(save)});
        const std::string file = WineHost::prefix() + "/saved.reg";
        WineHost::tool({"reg", "export", settingsKey, "Z:" + file, "/y"});
        return file;
    }();
    return saved;
}

void restoreSavedSettings() {
    const std::string& file = savedSettings();
    forgetSettings();
    WineHost::tool({"reg", "import", "Z:" + file});
}

TEST_F(WineSuite, FirstUseShowsTheTwoRegistryBoxesInOrder) {
    forgetSettings();
    const WineRun run = WineHost::run({"--frames", "1"});
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string> boxes = run.after("box ");
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Tessaranth|Registry read error");
    EXPECT_EQ(boxes[1], firstUseBox);
    EXPECT_TRUE(run.has("init 0"));
}

TEST_F(WineSuite, TheDialogSavesEveryValueWithItsRegistryType) {
    savedSettings();
    const std::map<std::string, StoredValue> values = storedValues();
    EXPECT_EQ(values.size(), 126u);  // the record's 103 and the bus's 23
    const std::map<std::string, StoredValue> expected = {
        {"Version", {"REG_SZ", "v0.9.3 beta"}},       {"Update delay", {"REG_DWORD", "0x19"}},
        {"Interface timing", {"REG_DWORD", "0x1"}},   {"Inverse", {"REG_BINARY", "00"}},
        {"Scroll title", {"REG_BINARY", "01"}},       {"Background", {"REG_SZ", "No skin selected"}},
        {"Analyzer XY", {"REG_DWORD", "0x1118"}},     {"Artist XY", {"REG_DWORD", "0x1"}},
        {"LPT address", {"REG_DWORD", "0x378"}},      {"Controller", {"REG_DWORD", "0x0"}},
        {"Command select", {"REG_DWORD", "0x3"}},     {"Button 16", {"REG_DWORD", "0xf"}},
        {"Brightness", {"REG_DWORD", "0x8"}},         {"Show modelengine", {"REG_BINARY", "00"}},
        {"I2C device", {"REG_SZ", "/dev/i2c-1"}},     {"I2C address", {"REG_DWORD", "0x3c"}},
        {"D/C line", {"REG_DWORD", "0x18"}},          {"GPIO D0", {"REG_DWORD", "0xffffffff"}},
        {"Parallel on GPIO", {"REG_BINARY", "00"}},
    };
    for (const auto& [name, value] : expected) {
        ASSERT_TRUE(values.count(name)) << name;
        EXPECT_EQ(values.at(name), value) << name;
    }
}

TEST_F(WineSuite, SavedSettingsAreInForceAtTheNextStart) {
    restoreSavedSettings();
    const WineRun run = WineHost::run({"--frames", "2"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.after("box "), std::vector<std::string>{"Tessaranth|Skin not found."});
    EXPECT_EQ(run.after("delay "), (std::vector<std::string>{"40", "25"})) << "the update delay typed in the dialog";
}

TEST_F(WineSuite, AValueOfTheWrongTypeCountsAsAFailedRead) {
    restoreSavedSettings();
    WineHost::tool({"reg", "add", settingsKey, "/v", "Update delay", "/t", "REG_SZ", "/d", "25", "/f"});
    const WineRun run = WineHost::run({"--frames", "1"});
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string> boxes = run.after("box ");
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "Tessaranth|Registry read error"), 1);
    EXPECT_EQ(run.after("delay ").back(), "0") << "a DWORD that failed to load holds 0";
    EXPECT_TRUE(run.has("done"));
}

TEST_F(WineSuite, AMissingDeviceLibraryShutsTheUsbAdapterDownSafely) {
    restoreSavedSettings();
    WineHost::tool({"reg", "add", settingsKey, "/v", "Controller", "/t", "REG_DWORD", "/d", "6", "/f"});
    const WineRun run = WineHost::run({"--frames", "3"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.after("box "), (std::vector<std::string>{
                                     "Tessaranth|Unable to load FTD2XX.dll\\n\\nMake sure you installed the D2XX driver",
                                     "Tessaranth|Tessaranth will now shut down",
                                     "Tessaranth|Opening device.... driver not loaded",
                                     "Tessaranth|init: emergency shutdown",
                                     "Tessaranth|quit: emergency shutdown",
                                 }));
    EXPECT_TRUE(run.has("command 40001"));
    EXPECT_TRUE(run.has("init 0"));
    EXPECT_TRUE(run.portLog.empty());
    EXPECT_TRUE(run.has("free 1"));
}

TEST_F(WineSuite, TheDialogOpensFromConfigWhereItBelongsAndCloses) {
    restoreSavedSettings();
    const WineRun run = WineHost::run({"--frames", "1", "--config"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.has("dialog open 200 150 389 314")) << "left 200, top 150, client area 389 x 314";
    for (const char* control : {"Button|Get settings", "Button|Save settings", "Button|Cancel", "Button|Show playlist",
                                "Button|Slower timing (T6963C)"})
        EXPECT_GT(controlId(run, control), 0) << control;
    EXPECT_TRUE(run.has("config returned"));
    EXPECT_TRUE(run.has("windows left 0"));
}

TEST_F(WineSuite, TheDialogSaysWhereTheControllersBusIsMissingOnWindows) {
    const struct {
        const char* controller;
        const char* note;
    } cases[] = {{"7", "Static|I2C is not available on Windows"}, {"10", "Static|SPI is not available on Windows"}};
    for (const auto& c : cases) {
        restoreSavedSettings();
        WineHost::tool({"reg", "add", settingsKey, "/v", "Controller", "/t", "REG_DWORD", "/d", c.controller, "/f"});
        const WineRun run = WineHost::run({"--frames", "0", "--config"});
        ASSERT_EQ(run.exitCode, 0);
        EXPECT_GT(controlId(run, c.note), 0) << c.controller;
        EXPECT_GT(controlId(run, "Edit|/dev/i2c-1"), 0) << "the bus group's controls are there, disabled";
    }
    restoreSavedSettings();
    const WineRun lpt = WineHost::run({"--frames", "0", "--config"});
    for (const char* bus : {"I2C", "SPI", "GPIO"})
        EXPECT_EQ(controlId(lpt, std::string("Static|") + bus + " is not available on Windows"), -1) << bus;
}

// The text a T6963C shows in one text row, read from its display memory.
std::string textRow(const emu::T6963CEmulator& chip, int row, int columns) {
    std::string text;
    for (int column = 0; column < columns; ++column)
        text += static_cast<char>(chip.memory(static_cast<uint16_t>(chip.textHome() + row * chip.textArea() + column)) + 32);
    return text;
}

TEST_F(WineSuite, FramesShowThePlayersTitleAndArtistOnTheGlass) {
    restoreSavedSettings();
    const WineRun run = WineHost::run({"--frames", "2", "--title", "7. Night Owls - Lanterns - Winamp"});
    ASSERT_EQ(run.exitCode, 0);
    auto display = emu::VirtualDisplay::create(emu::DisplaySetup{});
    ASSERT_TRUE(display);
    const std::string beforeQuit = run.portLog.substr(0, run.portLog.find("# quit"));
    for (const PortAccess& access : portAccesses(beforeQuit))
        if (access.write) display->writePort(access.port, access.value);
    const auto& chip = dynamic_cast<const emu::T6963CEmulator&>(display->emulator());
    EXPECT_EQ(textRow(chip, 0, 20).substr(0, 9), "Lanterns ");
    EXPECT_EQ(textRow(chip, 1, 20).substr(0, 11), "Night Owls ");
    EXPECT_TRUE(display->problems().empty());
}

// The DLL's crash-safe save routine on Wine's files: a file is replaced whole, or, when anything
// fails, left as it was with no temporary file beside it; what killed saves left goes.
TEST_F(WineSuite, SavesReplaceAFileWholeOrLeaveItAsItWas) {
    const std::string folder = WineHost::prefix() + "/saves";
    std::filesystem::create_directories(folder + "/a folder");
    const auto save = [&](const std::string& name, const std::string& text, long limit = 0) {
        std::string output;
        WineHost::program("replacefile.exe", {"Z:" + folder + "/" + name, text}, &output, limit);
        return output.substr(0, output.find_first_of("\r\n"));
    };
    const auto contents = [&](const std::string& name) {
        std::ifstream file(folder + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };
    // What a killed save of a process long gone left, and a file that only looks like one.
    std::ofstream(folder + "/a.tzn.2147483644-7.tmp") << "left";
    std::ofstream(folder + "/a.tzn.notes.tmp") << "kept";
    EXPECT_EQ(save("a.tzn", "a first, longer text"), "status 0");
    EXPECT_EQ(contents("a.tzn"), "a first, longer text");
    EXPECT_FALSE(std::filesystem::exists(folder + "/a.tzn.2147483644-7.tmp")) << "removed by the next save";
    EXPECT_EQ(contents("a.tzn.notes.tmp"), "kept");
    std::filesystem::remove(folder + "/a.tzn.notes.tmp");
    EXPECT_EQ(save("a.tzn", "second"), "status 0");
    EXPECT_EQ(contents("a.tzn"), "second");
    EXPECT_NE(save("a.tzn", std::string(6000, 'x'), 4096), "status 0") << "a write past the disk's end";
    EXPECT_EQ(contents("a.tzn"), "second");
    const std::string longest(259 - ("Z:" + folder + "/").size(), 'n');  // the path is MAX_PATH - 1 long
    EXPECT_EQ(save(longest, "text"), "status 0");
    EXPECT_EQ(contents(longest), "text");
    std::filesystem::remove(folder + "/" + longest);
    EXPECT_EQ(save("no such folder/b.tzn", "text"), "status 3");
    EXPECT_EQ(save("a folder", "text"), "status 5");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a folder", "a.tzn"}));
}

} // namespace
} // namespace tessaranth::test
