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

// The value a --bus option gives the named bus setting.
const BusAssignment* assigned(const Options& o, const char* name) {
    for (const BusAssignment& a : o.overrides.bus)
        if (std::string(a.field->name) == name) return &a;
    return nullptr;
}

TEST(CommandLineTest, TheDisplayOfOneRunInEveryForm) {
    EXPECT_FALSE(parse({"demo"}).overrides.any());
    EXPECT_EQ(parse({"demo", "--controller", "ssd1306"}).overrides.controller, 7);
    EXPECT_EQ(parse({"mpd", "--controller=SH1106"}).overrides.controller, 9);
    EXPECT_EQ(parse({"mpris", "--controller", "Noritake 800(A)"}).overrides.controller, 5);
    EXPECT_EQ(parse({"demo", "--controller", "noritake800"}).overrides.controller, 5);
    EXPECT_EQ(parse({"demo", "--controller", "HD61830"}).overrides.controller, 4);
    EXPECT_EQ(parse({"demo", "--controller", "t6963c"}).overrides.controller, 0);

    const Options sized = parse({"demo", "--size", "256x64"});
    EXPECT_EQ(sized.overrides.width, 256);
    EXPECT_EQ(sized.overrides.height, 64);

    const Options i2c = parse({"demo", "--bus", "i2c:/dev/i2c-1:0x3d"});
    EXPECT_EQ(i2c.overrides.busKind, BusForm::i2c);
    ASSERT_TRUE(assigned(i2c, "I2C device"));
    EXPECT_EQ(assigned(i2c, "I2C device")->text, "/dev/i2c-1");
    EXPECT_EQ(assigned(i2c, "I2C address")->number, 0x3D);
    EXPECT_EQ(assigned(parse({"demo", "--bus", "i2c:/dev/i2c-1:60"}), "I2C address")->number, 60);

    const Options spi = parse({"demo", "--bus", "spi:/dev/spidev0.1,hz=4000000,dc=gpiochip4:24,reset=pinctrl-rp1:25"});
    EXPECT_EQ(spi.overrides.busKind, BusForm::spi);
    EXPECT_EQ(assigned(spi, "SPI device")->text, "/dev/spidev0.1");
    EXPECT_EQ(assigned(spi, "SPI speed")->number, 4'000'000);
    EXPECT_EQ(assigned(spi, "D/C chip")->text, "gpiochip4");
    EXPECT_EQ(assigned(spi, "D/C line")->number, 24);
    EXPECT_EQ(assigned(spi, "Reset chip")->text, "pinctrl-rp1");
    EXPECT_EQ(assigned(spi, "Reset line")->number, 25);
    const Options bare = parse({"demo", "--bus", "spi:/dev/spidev0.0"});
    EXPECT_EQ(bare.overrides.bus.size(), 1u) << "what the option does not name keeps its setting";

    const Options gpio = parse({"demo", "--bus", "gpio:gpiochip0,d0=5,D7=12,strobe=20,pin14=21,init=22,select=23"});
    EXPECT_EQ(gpio.overrides.busKind, BusForm::gpio);
    EXPECT_EQ(assigned(gpio, "Parallel on GPIO")->number, 1);
    EXPECT_EQ(assigned(gpio, "GPIO chip")->text, "gpiochip0");
    EXPECT_EQ(assigned(gpio, "GPIO D0")->number, 5);
    EXPECT_EQ(assigned(gpio, "GPIO D7")->number, 12);
    EXPECT_EQ(assigned(gpio, "GPIO pin 1")->number, 20);
    EXPECT_EQ(assigned(gpio, "GPIO pin 14")->number, 21);
    EXPECT_EQ(assigned(gpio, "GPIO pin 16")->number, 22);
    EXPECT_EQ(assigned(gpio, "GPIO pin 17")->number, 23);

    const Options lpt = parse({"demo", "--bus", "lpt:0x278", "--save"});
    EXPECT_EQ(lpt.overrides.busKind, BusForm::lpt);
    EXPECT_EQ(lpt.overrides.lptAddress, 0x278);
    EXPECT_EQ(assigned(lpt, "Parallel on GPIO")->number, 0);
    EXPECT_TRUE(lpt.overrides.save);
    EXPECT_FALSE(parse({"demo", "--bus", "lpt:0x278"}).overrides.save);

    const Options later = parse({"demo", "--bus", "gpio:gpiochip0,d0=5", "--bus", "lpt:0x3bc"});
    EXPECT_EQ(later.overrides.busKind, BusForm::lpt) << "the last --bus counts, alone";
    EXPECT_FALSE(assigned(later, "GPIO D0"));
}

TEST(CommandLineTest, TheDisplayOptionsRefuseWhatCannotBe) {
    expectUsageError({"demo", "--controller", "ssd1307"}, "--controller is one of t6963c, sed1330");
    expectUsageError({"demo", "--size", "128"}, "--size is WIDTHxHEIGHT");
    expectUsageError({"demo", "--size", "x64"}, "--size is WIDTHxHEIGHT");
    expectUsageError({"demo", "--size", "128x-64"}, "--size is WIDTHxHEIGHT");
    expectUsageError({"demo", "--bus", "usb:1"}, "--bus is i2c:DEVICE:ADDRESS");
    expectUsageError({"demo", "--bus", "i2c:/dev/i2c-1"}, "i2c:/dev/i2c-1:0x3c");
    expectUsageError({"demo", "--bus", "i2c:/dev/i2c-1:0x78"}, "from 0x03 to 0x77, not '0x78'");
    expectUsageError({"demo", "--bus", "i2c:/dev/i2c-1:0x02"}, "from 0x03 to 0x77");
    expectUsageError({"demo", "--bus", "i2c:/dev/i2c-1:zz"}, "the I2C address");
    expectUsageError({"demo", "--bus", "i2c::0x3c"}, "the I2C device needs 1 to 63 characters");
    expectUsageError({"demo", "--bus", "i2c:/dev/" + std::string(60, 'x') + ":0x3c"}, "1 to 63 characters");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,hz=0"}, "hz is a number from 1000 to 125000000");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,hz=200000000"}, "hz is a number");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,dc=24"}, "dc is CHIP:LINE");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,dc=gpiochip0:-5"}, "dc is a number from -1 to 65535");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,mode=3"}, "--bus spi takes hz=N");
    expectUsageError({"demo", "--bus", "spi:/dev/spidev0.0,hz"}, "is not NAME=VALUE");
    expectUsageError({"demo", "--bus", "gpio:gpiochip0"}, "needs the lines too");
    expectUsageError({"demo", "--bus", "gpio:gpiochip0,d8=3"}, "names the lines d0..d7");
    expectUsageError({"demo", "--bus", "gpio:gpiochip0,d0=70000"}, "d0 is a number from -1 to 65535");
    expectUsageError({"demo", "--bus", "gpio:" + std::string(32, 'c') + ",d0=1"}, "the GPIO chip needs 1 to 31");
    expectUsageError({"demo", "--bus", "lpt:0x10000"}, "lpt needs the port's address");
    expectUsageError({"demo", "--bus", "lpt:"}, "lpt needs the port's address");
    expectUsageError({"demo", "--save"}, "give at least one of them");
    expectUsageError({"config", "--controller", "ssd1306"}, "unknown option '--controller'");
    expectUsageError({"doctor", "--save"}, "unknown option '--save'");
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
