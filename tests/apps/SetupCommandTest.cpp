// SPDX-License-Identifier: GPL-2.0-or-later
// tessaranth config --show, --set and --preset as a person without a screen runs them: every
// name, the dialog's limits, what a refusal leaves behind, and what the plug-in then does.
#include "ProgramRun.h"
#include "session/HostCopy.h"
#include "setup/NamedSettings.h"

#include "settings/BusFields.h"
#include "settings/SettingsFields.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tessaranth::host {
namespace {

using test::fileText;
using test::Outcome;

class SetupCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder + "/config");
        setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        std::filesystem::permissions(folder + "/config/tessaranth", std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder);
    }

    // The program with these arguments, each passed as it stands.
    Outcome run(const std::vector<std::string>& arguments) { return test::runToEnd(command(arguments), folder); }
    // The same where no file may grow: its messages (stdout and stderr) come through a pipe.
    Outcome runWithoutRoom(const std::vector<std::string>& arguments) {
        const std::string said = folder + "/said";
        std::system(("((ulimit -f 0; exec " + command(arguments) + ") 2>&1 </dev/null; echo \"exit $?\") | cat >" + said).c_str());
        const std::string text = fileText(said);
        const std::size_t last = text.rfind("exit ");
        if (last == std::string::npos) return {-1, "", text};
        return {std::atoi(text.c_str() + last + 5), "", text.substr(0, last)};
    }
    static std::string command(const std::vector<std::string>& arguments) {
        std::string command = TESSARANTH_PROGRAM;
        for (const std::string& argument : arguments) command += " " + quoted(argument);
        return command;
    }
    Outcome set(const std::vector<std::string>& pairs, const std::vector<std::string>& more = {}) {
        std::vector<std::string> arguments{"config"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        arguments.push_back("--set");
        arguments.insert(arguments.end(), pairs.begin(), pairs.end());
        return run(arguments);
    }
    // NAME=VALUE of every line of --show, in order.
    std::vector<std::pair<std::string, std::string>> shown(const std::vector<std::string>& more = {}) {
        std::vector<std::string> arguments{"config", "--show"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        const Outcome o = run(arguments);
        EXPECT_EQ(o.exitCode, 0) << o.err;
        std::vector<std::pair<std::string, std::string>> lines;
        std::istringstream text(o.out);
        for (std::string line; std::getline(text, line);) {
            const std::size_t equals = line.find('=');
            EXPECT_NE(equals, std::string::npos) << line;
            if (equals != std::string::npos) lines.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
        return lines;
    }
    std::string value(const std::string& name) {
        for (const auto& [n, v] : shown())
            if (n == name) return v;
        return "(not shown)";
    }
    static std::string quoted(const std::string& text) {
        std::string out = "'";
        for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    // The settings by name with their limits, as the program knows them.
    static std::vector<NamedSetting> namedSettings() {
        std::vector<std::string> messages;
        std::vector<NamedSetting> all;
        onHostCopy(messages, [&] {
            const NamedSettings named;
            all.assign(named.all().begin(), named.all().end());
        });
        return all;
    }
    // One refused --set: exit 1, one line naming what is allowed, nothing stored.
    void expectRefused(const std::vector<std::string>& pairs, const std::string& saying) {
        const std::string before = fileText(registry);
        const Outcome o = set(pairs);
        EXPECT_EQ(o.exitCode, 1) << pairs.back();
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_NE(o.err.find("nothing was stored"), std::string::npos) << o.err;
        EXPECT_NE(o.err.find(saying), std::string::npos) << pairs.back() << ": " << o.err;
        EXPECT_EQ(fileText(registry), before) << pairs.back();
    }

    std::string folder = ::testing::TempDir() + "setup-" + std::to_string(getpid());
    std::string registry = folder + "/config/tessaranth/registry.reg";
    std::error_code ignored;
};

// The largest value a setting holds, as --set takes it and --show prints it, and the one just
// beyond, which it refuses; empty when there is none beyond.
struct Edge {
    std::string inside, shownAs, outside;
};

Edge upperEdge(const NamedSetting& s) {
    switch (s.rule) {
    case ValueRule::tick: return {"on", "1", "2"};
    case ValueRule::text: {
        const auto longest = static_cast<std::size_t>(s.maximum);
        return {std::string(longest, 'p'), std::string(longest, 'p'), std::string(longest + 1, 'p')};
    }
    case ValueRule::address: {
        char inside[8], outside[8];
        std::snprintf(inside, sizeof inside, "0x%02X", static_cast<unsigned>(s.maximum));
        std::snprintf(outside, sizeof outside, "0x%02X", static_cast<unsigned>(s.maximum + 1));
        return {inside, inside, outside};
    }
    case ValueRule::choice: {
        const Choice& last = s.choices.back();
        const bool indexed = last.value + 1 == s.choices.size();
        return {last.text, last.text, indexed ? std::to_string(s.choices.size()) : "0x3F8"};
    }
    case ValueRule::position: {
        char packed[8];
        std::snprintf(packed, sizeof packed, "0x%04X", static_cast<unsigned>(s.maximum));
        return {std::to_string(s.maximum >> 8) + "," + std::to_string(s.maximum & 0xFF), packed,
                std::to_string(s.maximum + 1)};
    }
    default: return {std::to_string(s.maximum), std::to_string(s.maximum), std::to_string(s.maximum + 1)};
    }
}

TEST_F(SetupCommandTest, EveryNameShowsAndSetsUpToItsLimitAndNoFurther) {
    const auto before = shown();
    ASSERT_EQ(before.size(), registryFieldCount + 23) << "the record's values, then the bus's";
    for (std::size_t i = 0; i < registryFieldCount; ++i) EXPECT_EQ(before[i].first, registryFields()[i].name);
    for (std::size_t i = 0; i < busFields().size(); ++i)
        EXPECT_EQ(before[registryFieldCount + i].first, busFields()[i].name);
    const std::map<std::string, std::string> defaults(before.begin(), before.end());
    EXPECT_EQ(defaults.at("I2C address"), "0x3C");
    EXPECT_EQ(defaults.at("I2C device"), "/dev/i2c-1");
    EXPECT_EQ(defaults.at("D/C line"), "24");
    EXPECT_EQ(defaults.at("GPIO D0"), "-1") << "not wired";
    EXPECT_FALSE(std::filesystem::exists(registry)) << "showing stores nothing";

    std::vector<std::string> pairs;
    std::map<std::string, std::string> expected;
    const std::vector<NamedSetting> all = namedSettings();
    for (const NamedSetting& s : all) {
        const Edge edge = upperEdge(s);
        pairs.push_back(std::string(s.name) + "=" + edge.inside);
        expected[s.name] = edge.shownAs;
    }
    const Outcome o = set(pairs);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    for (const auto& [name, value] : shown()) EXPECT_EQ(value, expected[name]) << name;
    for (const NamedSetting& s : all) {
        EXPECT_TRUE(parsed(s, upperEdge(s).inside)) << s.name;
        EXPECT_FALSE(parsed(s, upperEdge(s).outside)) << s.name;
    }
    expectRefused({pairs.front(), std::string(all.back().name) + "=" + upperEdge(all.back()).outside},
                  "is not allowed");
}

// The dialog's limits, from its controls: sliders, lists, check boxes, numeric edits, the port
// list; values no control edits hold what their field holds.
TEST_F(SetupCommandTest, TheLimitsAreTheDialogs) {
    const std::vector<NamedSetting> all = namedSettings();
    const auto accepts = [&](const std::string& name, const std::string& text) {
        for (const NamedSetting& s : all)
            if (sameName(s.name, name)) return parsed(s, text).has_value();
        ADD_FAILURE() << "no setting " << name;
        return false;
    };
    struct Range {
        const char* name;
        int64_t minimum, maximum;
    };
    for (const Range& r : {Range{"Scroll speed", 0, 10}, Range{"Analyzer sens", 0, 10}, Range{"Falloff", 0, 8},
                           Range{"Peak hold", 0, 10}, Range{"Scope sens", 1, 11}, Range{"VU meter sens", 1, 11},
                           Range{"VU meter range", 1, 11}, Range{"Title length", 0, 255}, Range{"Artist length", 0, 255},
                           Range{"Current position", 0, 255}, Range{"Playlist width", 0, 255},
                           Range{"VU meter height", 0, 255}, Range{"Update delay", 0, 2147483647},
                           Range{"Analyzer type", 0, 255}, Range{"Reset", 0, 255}}) {
        EXPECT_TRUE(accepts(r.name, std::to_string(r.minimum))) << r.name;
        EXPECT_TRUE(accepts(r.name, std::to_string(r.maximum))) << r.name;
        EXPECT_FALSE(accepts(r.name, std::to_string(r.minimum - 1))) << r.name;
        EXPECT_FALSE(accepts(r.name, std::to_string(r.maximum + 1))) << r.name;
        EXPECT_FALSE(accepts(r.name, "-1")) << r.name;
    }
    // The bus: an I2C address in hexadecimal or decimal, the SPI clock, the SH1106's column, and
    // lines, which take -1 for "not wired".
    for (const Range& r : {Range{"I2C address", 0x03, 0x77}, Range{"SPI speed", 1000, 125000000},
                           Range{"SH1106 column offset", 0, 4}}) {
        EXPECT_TRUE(accepts(r.name, std::to_string(r.minimum))) << r.name;
        EXPECT_TRUE(accepts(r.name, std::to_string(r.maximum))) << r.name;
        EXPECT_FALSE(accepts(r.name, std::to_string(r.minimum - 1))) << r.name;
        EXPECT_FALSE(accepts(r.name, std::to_string(r.maximum + 1))) << r.name;
        EXPECT_FALSE(accepts(r.name, "-1")) << r.name;
    }
    EXPECT_TRUE(accepts("I2C address", "0x3d"));
    EXPECT_TRUE(accepts("I2C address", "0X03"));
    EXPECT_FALSE(accepts("I2C address", "0x78"));
    EXPECT_FALSE(accepts("I2C address", "0x3C0"));
    for (const char* line : {"D/C line", "Reset line", "GPIO D0", "GPIO D1", "GPIO D2", "GPIO D3", "GPIO D4", "GPIO D5",
                             "GPIO D6", "GPIO D7", "GPIO pin 1", "GPIO pin 14", "GPIO pin 16", "GPIO pin 17"}) {
        EXPECT_TRUE(accepts(line, "-1")) << line;
        EXPECT_TRUE(accepts(line, "0")) << line;
        EXPECT_TRUE(accepts(line, "65535")) << line;
        EXPECT_FALSE(accepts(line, "-2")) << line;
        EXPECT_FALSE(accepts(line, "65536")) << line;
        EXPECT_FALSE(accepts(line, "4294967295")) << line << ": no wrap to -1";
    }
    EXPECT_TRUE(accepts("Parallel on GPIO", "yes"));
    EXPECT_FALSE(accepts("Parallel on GPIO", "2"));
    struct Text {
        const char* name;
        std::size_t longest;
    };
    for (const Text& t : {Text{"I2C device", 63}, Text{"SPI device", 63}, Text{"D/C chip", 31}, Text{"Reset chip", 31},
                          Text{"GPIO chip", 31}}) {
        EXPECT_TRUE(accepts(t.name, std::string(t.longest, 'd'))) << t.name;
        EXPECT_FALSE(accepts(t.name, std::string(t.longest + 1, 'd'))) << t.name;
        EXPECT_FALSE(accepts(t.name, "")) << t.name << ": a bus needs a device";
        EXPECT_FALSE(accepts(t.name, std::string("/dev/i2c\0-1", 11))) << t.name;
    }
    struct Entries {
        const char* name;
        std::size_t count;
    };
    for (const Entries& e : {Entries{"Display format", 11}, Entries{"Brightness", 16}, Entries{"Font", 4},
                             Entries{"API", 2}, Entries{"Chip select", 4}, Entries{"Command select", 4},
                             Entries{"Write", 4}, Entries{"Read", 4}, Entries{"Button 1", 23}, Entries{"Button 16", 23},
                             Entries{"Button wiring", 1}}) {
        EXPECT_TRUE(accepts(e.name, std::to_string(e.count - 1))) << e.name;
        EXPECT_FALSE(accepts(e.name, std::to_string(e.count))) << e.name;
    }
    for (const char* tick : {"Inverse", "Interface timing", "Time type", "Show title", "Scope type", "Backlight",
                             "Enable buttons", "Show modelengine", "Auto sensing"}) {
        EXPECT_TRUE(accepts(tick, "1")) << tick;
        EXPECT_FALSE(accepts(tick, "2")) << tick;
    }
    EXPECT_TRUE(accepts("LPT address", "0x2BC"));
    EXPECT_FALSE(accepts("LPT address", "0x3F8"));
    EXPECT_FALSE(accepts("LPT address", "0"));
    EXPECT_TRUE(accepts("Title XY", "255,255"));
    EXPECT_FALSE(accepts("Title XY", "0,256"));
    EXPECT_FALSE(accepts("Title XY", "256,0"));
    EXPECT_FALSE(accepts("Title XY", "0x10000"));
    // What a refusal says, as the program says it.
    expectRefused({"Scope sens=0"}, "Scope sens is a whole number from 1 to 11");
    expectRefused({"Display format=11"}, "Display format is one of 0 \"128x64\", 1 \"128x128\"");
    expectRefused({"Inverse=2"}, "Inverse is 0 or 1");
    expectRefused({"LPT address=0x3F8"}, "\"0x378 (LPT1)\", \"0x278 (LPT2)\", \"0x3BC (LPT3)\", \"0x2BC (LPT4)\"");
    expectRefused({"Title XY=0,256"}, "a column from 0 to 255 and a line from 0 to 255 as COLUMN,LINE");
    expectRefused({"I2C address=0x78"}, "I2C address is an address from 0x03 to 0x77, in hexadecimal after 0x or in "
                                        "decimal");
    expectRefused({"GPIO pin 14=-2"}, "GPIO pin 14 is a whole number from -1 to 65535 (-1: not wired)");
    expectRefused({"SPI device=" + std::string(64, 's')}, "SPI device is a text of 1 to 63 characters");
    expectRefused({"GPIO chip="}, "GPIO chip is a text of 1 to 31 characters");
}

TEST_F(SetupCommandTest, ValuesByNameInAnyCase) {
    ASSERT_EQ(set({"controller=ks0108b", "DISPLAY FORMAT=192x64", "chip select=init", "Command select=Line (pin 14)",
                   "lpt address=lpt3", "brightness=  6%", "button 3=next", "Title XY=5,2", "artistxy=0x0104",
                   "Inverse=yes", "Show title=off", "Background=/srv/skins/my skin.bmp", "Button 15=Menu down",
                   "i2c ADDRESS=0x3d", "spi speed=16000000", "d/c line=-1", "Reset Chip=pinctrl-bcm2711"})
                  .exitCode,
              0);
    const auto lines = shown();
    const std::map<std::string, std::string> got(lines.begin(), lines.end());
    const std::map<std::string, std::string> expected{
        {"Controller", "KS0108B"},   {"Display format", "192x64"},      {"Chip select", "Init (pin 16)"},
        {"Command select", "Line (pin 14)"}, {"LPT address", "0x3BC (LPT3)"}, {"Brightness", "6%"},
        {"Button 3", "Next"},        {"Title XY", "0x0502"},            {"Artist XY", "0x0104"},
        {"Inverse", "1"},            {"Show title", "0"},               {"Background", "/srv/skins/my skin.bmp"},
        {"I2C address", "0x3D"},     {"SPI speed", "16000000"},         {"D/C line", "-1"},
        {"Reset chip", "pinctrl-bcm2711"}};
    for (const auto& [name, v] : expected) EXPECT_EQ(got.at(name), v) << name;
    // What --show prints, --set takes back unchanged.
    std::vector<std::string> pairs;
    for (const auto& [name, v] : lines) pairs.push_back(name + "=" + v);
    const std::string stored = fileText(registry);
    ASSERT_EQ(set(pairs).exitCode, 0);
    EXPECT_EQ(fileText(registry), stored);
    // By number too.
    ASSERT_EQ(set({"Controller=5", "Display format=0", "LPT address=888", "I2C address=61"}).exitCode, 0);
    EXPECT_EQ(value("Controller"), "Noritake 800(A)");
    EXPECT_EQ(value("LPT address"), "0x378 (LPT1)");
    EXPECT_EQ(value("I2C address"), "0x3D");
}

TEST_F(SetupCommandTest, ASizeTheControllerDoesNotServeIsStoredAndSaid) {
    const Outcome unserved = set({"Controller=ssd1306", "Display format=240x128"});
    EXPECT_EQ(unserved.exitCode, 0);
    EXPECT_NE(unserved.err.find("tessaranth: note: the SSD1306 serves 128x64, 128x32, not 240x128; the display will "
                                "not start until 'Display format' is one of these\n"),
              std::string::npos)
        << unserved.err;
    EXPECT_EQ(value("Display format"), "240x128");  // the controller may be the one set next
    const Outcome served = set({"Display format=128x32"});
    EXPECT_EQ(served.exitCode, 0);
    EXPECT_EQ(served.err.find("note:"), std::string::npos) << served.err;
}

TEST_F(SetupCommandTest, ABadNameOrValueStoresNothingAndSaysWhatIsAllowed) {
    ASSERT_EQ(set({"Scroll speed=7"}).exitCode, 0);
    expectRefused({"Scroll speed=2", "Falloff=9"}, "'Falloff=9' is not allowed, nothing was stored: Falloff is a whole "
                                                   "number from 0 to 8");
    expectRefused({"Scroll speed=2", "Scroll sped=3"}, "no setting is named 'Scroll sped', nothing was stored; the "
                                                       "names are: Update delay, Interface timing,");
    expectRefused({"Scroll speed=2", "Controller=KS0107"}, "Controller is one of 0 \"T6963C\", 1 \"SED1330\"");
    expectRefused({"Scroll speed=2", "Scroll speed"}, "'Scroll speed' is not NAME=VALUE");
    expectRefused({"Background=" + std::string(128, 'b')}, "Background is a text of at most 127 characters");
    expectRefused({"Scroll speed=five"}, "from 0 to 10");
    EXPECT_EQ(value("Scroll speed"), "7");
    const Outcome o = run({"config", "--preset", "Fenwold", "--set", "Scroll speed=2"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("there is no wiring preset 'Fenwold', nothing was stored; the presets are 1 \"Fenwold "
                         "(T6963C, SED133x, 800)\", 2 \"Fenwold (KS0108B)\""),
              std::string::npos)
        << o.err;
    EXPECT_EQ(value("Scroll speed"), "7");
}

// A stored value of another type reads as the plug-in reads it, and is said; a --set mends it.
TEST_F(SetupCommandTest, AStoredValueThatCannotBeReadIsSaid) {
    ASSERT_EQ(set({"Scroll speed=4"}).exitCode, 0);
    std::string text = fileText(registry);
    const std::string stored = "\"Scroll speed\"=dword:00000004";
    ASSERT_NE(text.find(stored), std::string::npos) << text;
    text.replace(text.find(stored), stored.size(), "\"Scroll speed\"=\"four\"");
    std::ofstream(registry, std::ios::binary) << text;
    const Outcome o = run({"config", "--show"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.err, "tessaranth: reading the settings: Registry read error\n");
    EXPECT_NE(o.out.find("\nScroll speed=0\n"), std::string::npos) << o.out;
    ASSERT_EQ(set({"Scroll speed=6"}).exitCode, 0);
    EXPECT_EQ(run({"config", "--show"}).err, "");
    EXPECT_EQ(value("Scroll speed"), "6");
}

TEST_F(SetupCommandTest, PresetsWireTheFourLinesAsTheDialogDoes) {
    ASSERT_EQ(run({"config", "--preset", "powerlcd (sed1330)"}).exitCode, 0);
    EXPECT_EQ(value("Chip select"), "Line (pin 14)");
    EXPECT_EQ(value("Command select"), "Init (pin 16)");
    EXPECT_EQ(value("Write"), "Strobe (pin 1)");
    EXPECT_EQ(value("Read"), "Select (pin 17)");
    // Applied before the single values, all in one save.
    ASSERT_EQ(run({"config", "--preset", "1", "--set", "Read=Init"}).exitCode, 0);
    EXPECT_EQ(value("Chip select"), "Strobe (pin 1)");
    EXPECT_EQ(value("Write"), "Init (pin 16)");
    EXPECT_EQ(value("Read"), "Init (pin 16)");
    // "LCDInfo (T6963C)" carries no wiring: it is no preset to choose here.
    EXPECT_EQ(run({"config", "--preset", "LCDInfo (T6963C)"}).exitCode, 1);
}

// The Raspberry Pi's header: a parallel-port controller on its GPIO lines, I2C1, SPI0 with its
// D/C and reset lines; the values set with the preset still win.
TEST_F(SetupCommandTest, BoardPresetsPutTheHeadersLines) {
    ASSERT_EQ(run({"config", "--preset", "raspberry pi gpio"}).exitCode, 0);
    auto lines = shown();
    std::map<std::string, std::string> got(lines.begin(), lines.end());
    const std::map<std::string, std::string> parallel{
        {"Parallel on GPIO", "1"}, {"GPIO chip", "gpiochip0"}, {"GPIO D0", "5"},      {"GPIO D1", "6"},
        {"GPIO D2", "12"},         {"GPIO D3", "13"},          {"GPIO D4", "16"},     {"GPIO D5", "26"},
        {"GPIO D6", "23"},         {"GPIO D7", "27"},          {"GPIO pin 1", "17"},  {"GPIO pin 14", "22"},
        {"GPIO pin 16", "24"},     {"GPIO pin 17", "25"}};
    for (const auto& [name, v] : parallel) EXPECT_EQ(got.at(name), v) << name;

    ASSERT_EQ(set({"I2C device=/dev/i2c-3", "I2C address=0x3D", "SPI device=/dev/spidev1.2", "D/C line=-1",
                   "Reset chip=gpiochip4"})
                  .exitCode,
              0);
    ASSERT_EQ(run({"config", "--preset", "Raspberry Pi I2C"}).exitCode, 0);
    EXPECT_EQ(value("I2C device"), "/dev/i2c-1");
    EXPECT_EQ(value("I2C address"), "0x3C");
    EXPECT_EQ(value("SPI device"), "/dev/spidev1.2") << "the I2C preset leaves SPI alone";
    ASSERT_EQ(run({"config", "--preset", "Raspberry Pi SPI", "--set", "Reset line=-1"}).exitCode, 0);
    lines = shown();
    got = std::map<std::string, std::string>(lines.begin(), lines.end());
    EXPECT_EQ(got.at("SPI device"), "/dev/spidev0.0");
    EXPECT_EQ(got.at("D/C chip"), "gpiochip0");
    EXPECT_EQ(got.at("D/C line"), "24");
    EXPECT_EQ(got.at("Reset chip"), "gpiochip0");
    EXPECT_EQ(got.at("Reset line"), "-1");
    EXPECT_EQ(got.at("GPIO D0"), "5") << "the SPI preset leaves the parallel lines alone";

    const Outcome o = run({"config", "--preset", "Raspberry Pi"});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("\"LCDInfo (KS0108B)\", \"Raspberry Pi I2C\", \"Raspberry Pi SPI\", \"Raspberry Pi GPIO\""),
              std::string::npos)
        << o.err;
}

// A file size limit stands for a full disk; a folder without write access for a read-only one.
TEST_F(SetupCommandTest, AFullOrReadOnlySettingsFolderStoresNothing) {
    ASSERT_EQ(set({"Scroll speed=7"}).exitCode, 0);
    const std::string before = fileText(registry);
    Outcome o = runWithoutRoom({"config", "--set", "Scroll speed=3"});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.err.find("cannot store the settings in " + registry + ", nothing was stored"), std::string::npos) << o.err;
    EXPECT_EQ(fileText(registry), before);
    o = runWithoutRoom({"config", "--settings", folder + "/new.tzn", "--set", "Scroll speed=3"});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.err.find("cannot store the settings in " + folder + "/new.tzn"), std::string::npos) << o.err;

    if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder (the test runs as a user too)";
    std::filesystem::permissions(folder + "/config/tessaranth", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    o = set({"Scroll speed=3"});
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.err.find("nothing was stored"), std::string::npos) << o.err;
    EXPECT_EQ(fileText(registry), before);
}

// What the PNG at path is wide and high.
std::pair<uint32_t, uint32_t> pictureSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    const auto at = [&](int i) { return uint32_t{header[i]} << 24 | header[i + 1] << 16 | header[i + 2] << 8 | header[i + 3]; };
    return {at(16), at(20)};
}

// The values reach the plug-in: its port, its controller, its size, its wiring and its background.
TEST_F(SetupCommandTest, ThePluginRunsWithWhatWasSet) {
    const auto demo = [&](const std::string& name) {
        return run({"demo", "--view", "png:" + folder + "/" + name, "--frames", "2", "--trace", folder + "/" + name + ".trace"});
    };
    ASSERT_EQ(set({"Controller=KS0108B", "Display format=128x64", "LPT address=LPT2", "Background=" + folder + "/none.bmp"})
                  .exitCode,
              0);
    Outcome o = demo("first");
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("a virtual KS0108B 128x64 on port 0x0278"), std::string::npos) << o.out;
    EXPECT_NE(o.err.find("Skin not found."), std::string::npos) << "the plug-in looked for the background set: " << o.err;
    const auto [width, height] = pictureSize(folder + "/first/frame-000002.png");
    EXPECT_EQ(width * 64, height * 128) << width << "x" << height;
    const std::string trace = fileText(folder + "/first.trace");
    EXPECT_EQ(trace.rfind("W 027A", 0), 0u) << "the plug-in drives the second port";

    // Another wiring: other lines strobe on the control register, for the same traffic.
    ASSERT_EQ(run({"config", "--preset", "Fenwold (KS0108B)"}).exitCode, 0);
    ASSERT_EQ(demo("second").exitCode, 0);
    const auto controlValues = [&](const std::string& path) {
        std::vector<std::string> values;
        std::istringstream lines(fileText(path));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("W 027A ", 0) == 0) values.push_back(line.substr(7));
        return values;
    };
    const auto first = controlValues(folder + "/first.trace"), second = controlValues(folder + "/second.trace");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first, second);
}

// The bus set is the one the plug-in drives: the virtual display's messages go to the address
// set, and the hardware display opens the device set.
TEST_F(SetupCommandTest, ThePluginDrivesTheBusThatWasSet) {
    ASSERT_EQ(set({"Controller=SSD1306", "I2C address=0x3D"}).exitCode, 0);
    Outcome o = run({"demo", "--view", "png:" + folder + "/oled", "--frames", "2", "--trace", folder + "/oled.trace"});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("SSD1306 128x64 (white) on I2C at 0x3D"), std::string::npos) << o.out;
    const std::string trace = fileText(folder + "/oled.trace");
    EXPECT_EQ(trace.rfind("I 3D 00 ", 0), 0u) << trace.substr(0, 80);
    EXPECT_NE(trace.find("\nI 3D 40 "), std::string::npos) << "display data to 0x3D too";
    EXPECT_EQ(trace.find("I 3C "), std::string::npos) << "nothing to the default address";

    ASSERT_EQ(set({"Controller=SSD1322", "SPI device=/dev/spidev97.0"}).exitCode, 0);
    o = run({"demo", "--display", "hardware", "--frames", "1"});
    EXPECT_NE(o.err.find("/dev/spidev97.0"), std::string::npos) << o.err;
}

TEST_F(SetupCommandTest, AConfigurationFileIsShownSetAndUsed) {
    const std::string file = folder + "/module.tzn";
    EXPECT_EQ(run({"config", "--show", "--settings", file}).exitCode, 1) << "a file that is not there cannot be shown";
    ASSERT_EQ(set({"Controller=SED1335", "Display format=320x240"}, {"--settings", file}).exitCode, 0);
    EXPECT_EQ(std::filesystem::file_size(file), settingsImageSize);
    EXPECT_FALSE(std::filesystem::exists(registry)) << "the file's settings are not the stored ones";
    const auto lines = shown({"--settings", file});
    const std::map<std::string, std::string> got(lines.begin(), lines.end());
    EXPECT_EQ(got.at("Controller"), "SED1335");
    EXPECT_EQ(value("Controller"), "T6963C");
    const Outcome o = run({"demo", "--settings", file, "--display", "none", "--frames", "1"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(run({"config", "--settings", file}).exitCode, 1) << "no display: the dialog does not open";
}

} // namespace
} // namespace tessaranth::host
