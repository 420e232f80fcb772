// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"
#include "Errors.h"

#include <gtest/gtest.h>

namespace tessaranth::host {
namespace {

Options parse(std::vector<std::string> args) { return parseCommandLine(args, "/default/vis_lumidra.so"); }

void expectUsageError(std::vector<std::string> args, const std::string& part) {
    try {
        parse(args);
        FAIL() << "accepted: " << args[0];
    } catch (const UsageError& error) {
        EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
    }
}

TEST(CommandLineTest, DemoWithDefaults) {
    const Options o = parse({"demo"});
    EXPECT_EQ(o.command, Command::demo);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.plugin, "/default/vis_lumidra.so");
    EXPECT_EQ(o.display, DisplayKind::virtualDisplay);
    EXPECT_EQ(o.view, ViewKind::automatic);
    EXPECT_FALSE(o.frames);
    EXPECT_FALSE(o.seconds);
    EXPECT_TRUE(o.trace.empty());
}

TEST(CommandLineTest, EveryCommonOptionBothWays) {
    const Options o = parse({"demo", "--plugin", "/p.so", "--view=png:/tmp/out", "--every", "5", "--frames=12",
                             "--seconds", "2.5", "--trace", "/tmp/t", "--settings=/tmp/s.tzn"});
    EXPECT_EQ(o.plugin, "/p.so");
    EXPECT_EQ(o.view, ViewKind::png);
    EXPECT_EQ(o.pngDirectory, "/tmp/out");
    EXPECT_EQ(o.every, 5);
    EXPECT_EQ(o.frames, 12);
    EXPECT_DOUBLE_EQ(*o.seconds, 2.5);
    EXPECT_EQ(o.trace, "/tmp/t");
    EXPECT_EQ(o.settingsFile, "/tmp/s.tzn");
    EXPECT_EQ(parse({"demo", "--view", "terminal"}).view, ViewKind::terminal);
    EXPECT_EQ(parse({"demo", "--view", "window"}).view, ViewKind::window);
    EXPECT_EQ(parse({"demo", "--display", "none"}).display, DisplayKind::none);
    EXPECT_EQ(parse({"demo", "--display", "hardware"}).display, DisplayKind::hardware);
}

TEST(CommandLineTest, MpdOptions) {
    const Options o = parse({"mpd", "--host", "127.0.0.1", "--port=6601", "--fifo", "/tmp/mpd.fifo", "--display", "none"});
    EXPECT_EQ(o.command, Command::mpd);
    EXPECT_EQ(o.mpdHost, "127.0.0.1");
    EXPECT_EQ(o.mpdPort, 6601u);
    EXPECT_EQ(o.audio, AudioKind::fifo) << "--fifo PATH still works, as --audio fifo:PATH";
    EXPECT_EQ(o.audioTarget, "/tmp/mpd.fifo");
    EXPECT_EQ(parse({"mpd"}).audio, AudioKind::pulse);
    expectUsageError({"mpd", "--port", "70000"}, "1 to 65535");
    expectUsageError({"mpd", "--port", "0"}, "positive");
    expectUsageError({"demo", "--host", "x"}, "unknown option '--host' for 'demo'");
}

TEST(CommandLineTest, MprisAndAudioOptions) {
    Options o = parse({"mpris"});
    EXPECT_EQ(o.command, Command::mpris);
    EXPECT_EQ(o.playerName, "");
    EXPECT_EQ(o.audio, AudioKind::pulse);
    EXPECT_EQ(o.audioTarget, "");
    o = parse({"mpris", "--player", "vlc", "--audio", "pulse:alsa_output.usb.monitor"});
    EXPECT_EQ(o.playerName, "vlc");
    EXPECT_EQ(o.audioTarget, "alsa_output.usb.monitor");
    o = parse({"mpd", "--fifo", "/a", "--audio=none"});
    EXPECT_EQ(o.audio, AudioKind::none) << "the last of --fifo and --audio counts";
    EXPECT_EQ(o.audioTarget, "");
    EXPECT_EQ(parse({"mpris", "--audio", "fifo:/tmp/f"}).audioTarget, "/tmp/f");
    for (const char* bad : {"pulse:", "fifo:", "alsa", ""}) expectUsageError({"mpris", "--audio", bad}, "--audio is pulse");
    expectUsageError({"demo", "--audio", "none"}, "unknown option '--audio' for 'demo'");
    expectUsageError({"mpd", "--player", "vlc"}, "unknown option '--player' for 'mpd'");
    EXPECT_NE(helpText(Command::mpris).find("--player NAME"), std::string::npos);
    EXPECT_NE(helpText(Command::help).find("mpris"), std::string::npos);
}

TEST(CommandLineTest, ConfigTakesOnlyItsOwnOptions) {
    const Options o = parse({"config", "--screenshot", "/tmp/shots", "--settings", "a.tzn"});
    EXPECT_EQ(o.command, Command::config);
    EXPECT_EQ(o.screenshotDirectory, "/tmp/shots");
    expectUsageError({"config", "--frames", "3"}, "unknown option '--frames'");
    expectUsageError({"demo", "--screenshot", "x"}, "unknown option");
}

TEST(CommandLineTest, ConfigSetTakesEveryPairUpToTheNextOption) {
    Options o = parse({"config", "--set", "Controller=KS0108B", "Display format=128x64", "Button 15=------",
                       "--settings", "a.tzn", "--show", "--preset", "Pollin (SED1330)"});
    EXPECT_EQ(o.assignments, (std::vector<std::string>{"Controller=KS0108B", "Display format=128x64", "Button 15=------"}));
    EXPECT_EQ(o.settingsFile, "a.tzn");
    EXPECT_TRUE(o.show);
    EXPECT_EQ(o.preset, "Pollin (SED1330)");
    o = parse({"config", "--show"});
    EXPECT_TRUE(o.show && o.assignments.empty() && o.preset.empty());
    expectUsageError({"config", "--set"}, "--set needs NAME=VALUE");
    expectUsageError({"config", "--set", "--show"}, "--set needs NAME=VALUE");
    expectUsageError({"config", "--preset"}, "--preset needs a value");
    expectUsageError({"config", "--screenshot", "d", "--show"}, "--screenshot photographs the dialog");
    expectUsageError({"demo", "--show"}, "unknown option '--show'");
}

TEST(CommandLineTest, HelpEverywhere) {
    EXPECT_EQ(parse({"--help"}).command, Command::help);
    EXPECT_EQ(parse({"-h"}).command, Command::help);
    EXPECT_TRUE(parse({"mpd", "--help"}).help);
    EXPECT_TRUE(parse({"config", "-h"}).help);
    EXPECT_NE(helpText(Command::help).find("demo"), std::string::npos);
    EXPECT_NE(helpText(Command::mpd).find("--fifo"), std::string::npos);
    EXPECT_NE(helpText(Command::demo).find("--trace"), std::string::npos);
    EXPECT_NE(helpText(Command::config).find("--screenshot"), std::string::npos);
}

TEST(CommandLineTest, RejectsWhatItDoesNotUnderstand) {
    expectUsageError({}, "command is missing");
    expectUsageError({"play"}, "unknown command 'play'");
    expectUsageError({"demo", "--frames"}, "--frames needs a value");
    expectUsageError({"demo", "--frames", "0"}, "positive whole number");
    expectUsageError({"demo", "--frames", "12x"}, "positive whole number");
    expectUsageError({"demo", "--frames", "-3"}, "positive whole number");
    expectUsageError({"demo", "--seconds", "nan"}, "positive number");
    expectUsageError({"demo", "--seconds", "-1"}, "positive number");
    expectUsageError({"demo", "--display", "glass"}, "virtual, hardware or none");
    expectUsageError({"demo", "--view", "png:"}, "window, terminal or png:DIR");
    expectUsageError({"demo", "--view", "vga"}, "window, terminal or png:DIR");
    expectUsageError({"demo", "frames"}, "unknown option 'frames'");
    expectUsageError({"demo", "--panel", "purple"}, "green, blue, white, yellow-blue, yellow-green or amber");
    expectUsageError({"demo", "--panel", "usual"}, "not 'usual'");
}

TEST(CommandLineTest, ThePanelsColourIsNamedAsTheModulesAreSold) {
    EXPECT_EQ(parse({"demo"}).panel, emu::PanelColour::usual);
    EXPECT_EQ(parse({"demo", "--panel", "yellow-blue"}).panel, emu::PanelColour::yellowBlue);
    EXPECT_EQ(parse({"mpd", "--panel=amber"}).panel, emu::PanelColour::amber);
    EXPECT_NE(helpText(Command::mpris).find("--panel COLOUR"), std::string::npos);
}

TEST(CommandLineTest, RejectsCombinationsThatCannotWork) {
    expectUsageError({"demo", "--display", "hardware", "--trace", "t.txt"}, "--trace");
    expectUsageError({"demo", "--display", "none", "--view", "terminal"}, "--view");
    expectUsageError({"demo", "--display", "hardware", "--panel", "blue"}, "--panel");
}

} // namespace
} // namespace tessaranth::host
