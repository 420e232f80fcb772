// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"

#include "Errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace tessaranth::host {

namespace {

const char* const overview =
    "usage: tessaranth <command> [options]\n"
    "Hosts the vis_lumidra visualisation plug-in and plays the player's part for it.\n"
    "\n"
    "commands:\n"
    "  demo     a built-in player with a dozen synthesised songs\n"
    "  mpd      follow a running Music Player Daemon\n"
    "  mpris    follow a desktop player (anything that speaks MPRIS on the session bus)\n"
    "  config   open the plug-in's configuration dialog, or show and set the settings without it\n"
    "  doctor   check what the configured display and the players need on this machine\n"
    "\n"
    "'tessaranth <command> --help' describes a command and its options.\n";

const char* const commonOptions =
    "  --plugin PATH        the plug-in to host (default: the vis_lumidra.so installed or built with\n"
    "                       this program, found relative to it)\n"
    "  --display KIND       virtual (default): an emulated display of the configured controller,\n"
    "                       size and wiring; hardware: the plug-in drives the real display;\n"
    "                       none: no display at all\n"
    "  --view VIEW          how the virtual display is shown: window (default when a graphical\n"
    "                       display is available and tessaranth-dialog is installed), terminal\n"
    "                       (drawn in place with half blocks, or Braille dots in a terminal too\n"
    "                       small for them), png:DIR (one PNG file per frame in DIR)\n"
    "  --panel COLOUR       the colour of the virtual display's panel, as the modules come:\n"
    "                       an LCD green (default) or blue; an SSD1306, SSD1309 or SH1106 OLED\n"
    "                       white (default), blue or yellow-blue (the top 16 rows yellow); the\n"
    "                       ST7920 blue (default) or yellow-green; the SSD1322 amber (default)\n"
    "                       or white\n"
    "  --every N            with png:DIR, write only every Nth frame\n"
    "  --frames N           stop after N frames\n"
    "  --seconds S          stop after S seconds (default: run until Ctrl-C or the window closes)\n"
    "  --trace FILE         write everything sent to the display to FILE, one line each, in hex:\n"
    "                       port accesses (W <port> <value>, R <port>), USB writes (U <bytes>),\n"
    "                       I2C messages (I <address> <bytes>), SPI transfers with the D/C level\n"
    "                       (S <0|1> <bytes>, S reset <microseconds>) and GPIO line changes\n"
    "                       (G <chip> <line> <level>, line and level in decimal)\n"
    "  --settings FILE.tzn  use this configuration file instead of the stored settings; the\n"
    "                       dialog's \"Save settings\" saves into it\n";

// A text in the help's column of descriptions, wrapped to its width.
std::string described(const std::string& text) {
    constexpr std::size_t width = 96;
    const std::string indent(23, ' ');
    std::string out, line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > width - indent.size()) {
            out += line + "\n" + indent;
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return out + line + "\n";
}

// The display of one run, over the stored settings.
std::string displayOptions() {
    return "  --controller NAME    " +
           described("the display's controller for this run: " + controllerNameList() +
                     " (or its name as the dialog lists it, in any case)") +
           "  --size WxH           the display's size, one the controller serves (such as 128x64)\n"
           "  --bus BUS            where the display is: i2c:DEVICE:ADDRESS (i2c:/dev/i2c-1:0x3c);\n"
           "                       spi:DEVICE[,hz=N][,dc=CHIP:LINE][,reset=CHIP:LINE]\n"
           "                       (spi:/dev/spidev0.0,hz=8000000,dc=gpiochip0:24,reset=gpiochip0:25);\n"
           "                       gpio:CHIP,NAME=LINE,... for a parallel-port controller on GPIO lines,\n"
           "                       NAME d0..d7, strobe (pin1), line (pin14), init (pin16), select (pin17);\n"
           "                       lpt:ADDRESS (lpt:0x378). What it does not name keeps its setting\n"
           "  --save               store --controller, --size and --bus as your settings (or into the\n"
           "                       --settings file) before the run; without it they last for this run\n";
}

std::string demoHelp() {
    return std::string("usage: tessaranth demo [options]\n"
                       "Plays a built-in playlist of synthesised songs and shows it on the display: play, pause,\n"
                       "stop, next, shuffle and repeat happen on a schedule. Needs no files and no network.\n"
                       "While no settings are stored it shows a showcase, a T6963C 240x128 with every field and\n"
                       "visualisation, and stores nothing unless you press \"Save settings\" in its dialog;\n"
                       "'tessaranth config' makes settings of your own.\n\n"
                       "options:\n") +
           commonOptions + displayOptions();
}

const char* const audioOption =
    "  --audio SOURCE       where the sound for the visualisations comes from:\n"
    "                       pulse (default): what the sound server plays, from the default sink's\n"
    "                       monitor (PulseAudio, or PipeWire with pipewire-pulse); pulse:NAME: the\n"
    "                       server's source NAME (see 'pactl list short sources');\n"
    "                       fifo:PATH: an MPD \"fifo\" output with format \"44100:16:2\";\n"
    "                       none: silence\n";

std::string mpdHelp() {
    return std::string("usage: tessaranth mpd [--host H] [--port P] [--audio SOURCE] [options]\n"
                       "Follows a running Music Player Daemon and shows what it plays; reconnects when it restarts.\n\n"
                       "options:\n"
                       "  --host H             MPD's host name, address or socket path (default: $MPD_HOST or localhost)\n"
                       "  --port P             MPD's port (default: $MPD_PORT or 6600)\n") +
           audioOption + "  --fifo PATH          the same as --audio fifo:PATH\n" + commonOptions + displayOptions();
}

std::string mprisHelp() {
    return std::string("usage: tessaranth mpris [--player NAME] [--audio SOURCE] [options]\n"
                       "Follows a desktop player that speaks MPRIS on the session bus (browsers, music and video\n"
                       "players) and shows what it plays; players that start, quit or restart are followed.\n\n"
                       "options:\n"
                       "  --player NAME        the player's bus name after org.mpris.MediaPlayer2. (such as vlc,\n"
                       "                       mpv or firefox; see 'busctl --user list'); default: the one that\n"
                       "                       is playing, else the first\n") +
           audioOption + commonOptions + displayOptions();
}

std::string configHelp() {
    return "usage: tessaranth config [--screenshot DIR] [--plugin PATH] [--settings FILE.tzn]\n"
           "       tessaranth config [--settings FILE.tzn] [--preset NAME] [--set NAME=VALUE ...] [--show]\n"
           "Opens the plug-in's configuration dialog; or, without it (on a machine without a screen, or\n"
           "without tessaranth-dialog), shows and sets the stored settings by the names the registry gives\n"
           "them (\"Scroll speed\", \"Controller\", \"Title XY\"). The plug-in uses them from its next start.\n\n"
           "options:\n"
           "  --screenshot DIR     write a picture of every page of the dialog into DIR and close it\n"
           "  --plugin PATH        the plug-in whose dialog to open\n"
           "  --settings FILE.tzn  use this configuration file instead of the stored settings; \"Save\n"
           "                       settings\" in the dialog, --set and --preset save into it\n"
           "  --show               print every setting as NAME=VALUE, one a line\n"
           "  --set NAME=VALUE ... set the named settings, within the dialog's limits, and store them all\n"
           "                       at once; a name or value that is not allowed stores nothing and says\n"
           "                       what is. Names in any case; quote those with spaces:\n"
           "                       'Controller=KS0108B' 'Display format=128x64' 'Title XY=0,1' Inverse=on\n"
           "  --preset NAME        wire the display as one of the dialog's wiring presets, such as\n"
           "                       \"PowerLCD (SED1330)\", or put a board's bus values, such as\n"
           "                       \"Raspberry Pi I2C\" (an unknown name lists them)\n";
}

std::string doctorHelp() {
    return "usage: tessaranth doctor [--settings FILE.tzn] [--host H] [--port P]\n"
           "Looks at what the configured display needs on this machine and says what is missing and how\n"
           "to put it right: for the parallel port the parport_pc and ppdev modules, /dev/parportN and\n"
           "access to it (the lp group), else direct port access; for the USB2LCD a device library, the\n"
           "adapter and access to it (a udev rule); for I2C, SPI and GPIO the device file and access to\n"
           "it, the display answering at its I2C address, spidev's transfer size, and the GPIO lines free;\n"
           "the stored settings. On a Raspberry Pi: its model, the buses config.txt enables (and the line\n"
           "that enables a missing one), and the groups lp, i2c, spi, gpio and audio. It also looks for MPD,\n"
           "MPD's fifo output or the sound server, MPRIS players, and the CPU a running tessaranth uses.\n"
           "Exit status 0 when the configured display can be driven, 1 when it cannot.\n\n"
           "options:\n"
           "  --settings FILE.tzn  check the display of this configuration file instead of the stored settings\n"
           "  --host H             MPD's host name, address or socket path (default: $MPD_HOST or localhost)\n"
           "  --port P             MPD's port (default: $MPD_PORT or 6600)\n";
}

int64_t positiveInteger(const std::string& option, const std::string& text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0)
        throw UsageError(option + " needs a positive whole number, not '" + text + "'");
    return value;
}

double positiveSeconds(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0) || !std::isfinite(value))
        throw UsageError("--seconds needs a positive number, not '" + text + "'");
    return value;
}

DisplayKind displayKind(const std::string& text) {
    if (text == "virtual") return DisplayKind::virtualDisplay;
    if (text == "hardware") return DisplayKind::hardware;
    if (text == "none") return DisplayKind::none;
    throw UsageError("--display is virtual, hardware or none, not '" + text + "'");
}

void setAudio(Options& o, const std::string& text) {
    o.audioTarget.clear();
    if (text == "pulse") {
        o.audio = AudioKind::pulse;
    } else if (text.starts_with("pulse:") && text.size() > 6) {
        o.audio = AudioKind::pulse;
        o.audioTarget = text.substr(6);
    } else if (text.starts_with("fifo:") && text.size() > 5) {
        o.audio = AudioKind::fifo;
        o.audioTarget = text.substr(5);
    } else if (text == "none") {
        o.audio = AudioKind::none;
    } else {
        throw UsageError("--audio is pulse, pulse:SOURCE, fifo:PATH or none, not '" + text + "'");
    }
}

void setView(Options& o, const std::string& text) {
    if (text == "window") {
        o.view = ViewKind::window;
    } else if (text == "terminal") {
        o.view = ViewKind::terminal;
    } else if (text.starts_with("png:") && text.size() > 4) {
        o.view = ViewKind::png;
        o.pngDirectory = text.substr(4);
    } else {
        throw UsageError("--view is window, terminal or png:DIR, not '" + text + "'");
    }
}

void setPanel(Options& o, const std::string& text) {
    const std::optional<emu::PanelColour> colour = emu::panelColourNamed(text);
    if (!colour || *colour == emu::PanelColour::usual)
        throw UsageError("--panel is green, blue, white, yellow-blue, yellow-green or amber, not '" + text + "'");
    o.panel = *colour;
}

using Setter = std::function<void(Options&, const std::string&)>;

std::map<std::string, Setter> commonSetters() {
    return {
        {"--plugin", [](Options& o, const std::string& v) { o.plugin = v; }},
        {"--display", [](Options& o, const std::string& v) { o.display = displayKind(v); }},
        {"--view", setView},
        {"--panel", setPanel},
        {"--every", [](Options& o, const std::string& v) { o.every = static_cast<int32_t>(std::min<int64_t>(positiveInteger("--every", v), INT32_MAX)); }},
        {"--frames", [](Options& o, const std::string& v) { o.frames = positiveInteger("--frames", v); }},
        {"--seconds", [](Options& o, const std::string& v) { o.seconds = positiveSeconds(v); }},
        {"--trace", [](Options& o, const std::string& v) { o.trace = v; }},
        {"--settings", [](Options& o, const std::string& v) { o.settingsFile = v; }},
        {"--controller", [](Options& o, const std::string& v) { o.overrides.controller = controllerNamed(v); }},
        {"--size", [](Options& o, const std::string& v) { setSize(o.overrides, v); }},
        {"--bus", [](Options& o, const std::string& v) { setBus(o.overrides, v); }},
    };
}

void addMpdAddress(std::map<std::string, Setter>& setters) {
    setters["--host"] = [](Options& o, const std::string& v) { o.mpdHost = v; };
    setters["--port"] = [](Options& o, const std::string& v) {
        const int64_t port = positiveInteger("--port", v);
        if (port > 65535) throw UsageError("--port needs a port number from 1 to 65535, not '" + v + "'");
        o.mpdPort = static_cast<uint32_t>(port);
    };
}

std::map<std::string, Setter> settersFor(Command command) {
    if (command == Command::config) {
        return {
            {"--plugin", [](Options& o, const std::string& v) { o.plugin = v; }},
            {"--settings", [](Options& o, const std::string& v) { o.settingsFile = v; }},
            {"--screenshot", [](Options& o, const std::string& v) { o.screenshotDirectory = v; }},
            {"--preset", [](Options& o, const std::string& v) { o.preset = v; }},
        };
    }
    if (command == Command::doctor) {
        std::map<std::string, Setter> setters{{"--settings", [](Options& o, const std::string& v) { o.settingsFile = v; }}};
        addMpdAddress(setters);
        return setters;
    }
    auto setters = commonSetters();
    if (command == Command::mpd) {
        addMpdAddress(setters);
        setters["--fifo"] = [](Options& o, const std::string& v) { setAudio(o, "fifo:" + v); };
    }
    if (command == Command::mpris) setters["--player"] = [](Options& o, const std::string& v) { o.playerName = v; };
    if (command == Command::mpd || command == Command::mpris) setters["--audio"] = setAudio;
    return setters;
}

Command commandNamed(const std::string& name) {
    if (name == "demo") return Command::demo;
    if (name == "mpd") return Command::mpd;
    if (name == "mpris") return Command::mpris;
    if (name == "config") return Command::config;
    if (name == "doctor") return Command::doctor;
    if (name == "--help" || name == "-h" || name == "help") return Command::help;
    throw UsageError("unknown command '" + name + "' (try 'tessaranth --help')");
}

// config's --show and --set NAME=VALUE ..., which take no value and values up to the next
// option; false for any other argument.
bool takeSetupOption(const std::vector<std::string>& args, std::size_t& i, Options& o) {
    if (o.command != Command::config) return false;
    if (args[i] == "--show") {
        o.show = true;
        return true;
    }
    if (args[i] != "--set") return false;
    const std::size_t first = i + 1;
    while (i + 1 < args.size() && !args[i + 1].starts_with("--")) o.assignments.push_back(args[++i]);
    if (i < first) throw UsageError("--set needs NAME=VALUE");
    return true;
}

void checkCombination(const Options& o) {
    if (!o.screenshotDirectory.empty() && (o.show || !o.assignments.empty() || !o.preset.empty()))
        throw UsageError("--screenshot photographs the dialog; --show, --set and --preset need none");
    if (o.display == DisplayKind::hardware && !o.trace.empty())
        throw UsageError("--trace records what goes to the virtual display or to none; "
                         "the hardware display uses the plug-in's own port access");
    if (o.display != DisplayKind::virtualDisplay && o.view != ViewKind::automatic)
        throw UsageError("--view shows the virtual display; it needs --display virtual");
    if (o.display != DisplayKind::virtualDisplay && o.panel != emu::PanelColour::usual)
        throw UsageError("--panel colours the virtual display; it needs --display virtual");
    if (o.overrides.save && !o.overrides.any())
        throw UsageError("--save stores --controller, --size and --bus: give at least one of them");
}

} // namespace

Options parseCommandLine(const std::vector<std::string>& args, const std::string& defaultPlugin) {
    Options o;
    o.plugin = defaultPlugin;
    if (args.empty()) throw UsageError("a command is missing (try 'tessaranth --help')");
    o.command = commandNamed(args[0]);
    if (o.command == Command::help) return o;
    const auto setters = settersFor(o.command);
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--save" && setters.contains("--bus")) {
            o.overrides.save = true;
            continue;
        }
        if (takeSetupOption(args, i, o)) continue;
        std::string value;
        const auto equals = name.find('=');
        const bool inlineValue = name.starts_with("--") && equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto setter = setters.find(name);
        if (setter == setters.end()) throw UsageError("unknown option '" + name + "' for '" + args[0] + "'");
        if (!inlineValue) {
            if (i + 1 == args.size()) throw UsageError(name + " needs a value");
            value = args[++i];
        }
        setter->second(o, value);
    }
    checkCombination(o);
    return o;
}

std::string helpText(Command command) {
    switch (command) {
    case Command::demo: return demoHelp();
    case Command::mpd: return mpdHelp();
    case Command::mpris: return mprisHelp();
    case Command::config: return configHelp();
    case Command::doctor: return doctorHelp();
    case Command::help: break;
    }
    return overview;
}

} // namespace tessaranth::host
