// SPDX-License-Identifier: GPL-2.0-or-later
// The command line: a subcommand, then options. parseCommandLine throws UsageError on anything
// it does not understand.
#pragma once

#include "session/DisplayOverrides.h"

#include "emu/PanelLook.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

enum class Command { help, demo, mpd, mpris, config, doctor };
enum class DisplayKind { virtualDisplay, hardware, none };
enum class ViewKind { automatic, window, terminal, png };
enum class AudioKind { pulse, fifo, none };

struct Options {
    Command command = Command::help;
    bool help = false;  // --help after a subcommand
    std::string plugin;
    DisplayKind display = DisplayKind::virtualDisplay;
    ViewKind view = ViewKind::automatic;
    std::string pngDirectory;
    emu::PanelColour panel = emu::PanelColour::usual;  // the virtual display's panel
    int32_t every = 1;  // png: write every Nth frame
    std::optional<int64_t> frames;
    std::optional<double> seconds;
    std::string trace;
    std::string settingsFile;
    std::string mpdHost;    // empty: libmpdclient's default (MPD_HOST, else localhost)
    uint32_t mpdPort = 0;   // 0: libmpdclient's default (MPD_PORT, else 6600)
    std::string playerName;  // mpris: the player to follow; empty: the one that plays
    AudioKind audio = AudioKind::pulse;
    std::string audioTarget;  // pulse: the source (empty: the default sink's monitor); fifo: the path
    std::string screenshotDirectory;
    // config without the dialog: --show, --set NAME=VALUE ..., --preset NAME
    bool show = false;
    std::vector<std::string> assignments;
    std::string preset;
    DisplayOverrides overrides;  // --controller, --size, --bus, --save
};

// args: the arguments after the program name. defaultPlugin: the plug-in used without --plugin.
Options parseCommandLine(const std::vector<std::string>& args, const std::string& defaultPlugin);

// The help text of a command (Command::help: the overview).
std::string helpText(Command command);

} // namespace tessaranth::host
