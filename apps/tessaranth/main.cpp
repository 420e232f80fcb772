// SPDX-License-Identifier: GPL-2.0-or-later
// tessaranth: hosts the vis_lumidra plug-in on Linux and plays the player's part for it.
#include "CommandLine.h"
#include "QtModules.h"
#include "players/DemoPlayer.h"
#include "views/DisplayTarget.h"
#include "Errors.h"
#include "doctor/Doctor.h"
#include "session/FrameLoop.h"
#include "session/HostSession.h"
#include "players/MpdFollower.h"
#include "players/MprisFollower.h"
#include "audio/FifoAudio.h"
#include "audio/PulseCapture.h"
#include "session/PluginLibrary.h"
#include "session/PluginLocation.h"
#include "views/PngView.h"
#include "views/PortTrace.h"
#include "session/StoredSettings.h"
#include "views/TerminalView.h"
#include "views/VirtualDisplayTarget.h"
#include "views/WindowView.h"
#include "setup/SetupCommand.h"

#include "config/DialogModule.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

using namespace tessaranth::host;

namespace {

// Where the plug-in, the window module and the hardware guide are looked for, relative to this
// program: installed, then in the build or source tree.
constexpr const char* pluginPlaces[] = {TESSARANTH_INSTALLED_PLUGIN, TESSARANTH_BUILT_PLUGIN};
constexpr const char* windowPlaces[] = {TESSARANTH_INSTALLED_WINDOW, TESSARANTH_BUILT_WINDOW};
constexpr const char* guidePlaces[] = {TESSARANTH_INSTALLED_GUIDE, TESSARANTH_SOURCE_GUIDE};

bool graphicalDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value) return true;
    return false;
}

// QT_QPA_PLATFORM names a platform of Qt's own, such as offscreen.
bool qtPlatformNamed() { return std::getenv("QT_QPA_PLATFORM") != nullptr; }

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::unique_ptr<PlayerSource> makePlayer(const Options& options) {
    if (options.command == Command::mpd) return std::make_unique<MpdFollower>(options.mpdHost, options.mpdPort);
    if (options.command == Command::mpris) return std::make_unique<MprisFollower>(options.playerName);
    return std::make_unique<DemoPlayer>();
}

// The demo plays its own sound.
std::unique_ptr<AudioSource> makeAudio(const Options& options) {
    if (options.command == Command::demo) return nullptr;
    if (options.audio == AudioKind::fifo) return std::make_unique<FifoAudio>(options.audioTarget);
    if (options.audio == AudioKind::pulse) return std::make_unique<PulseCapture>(options.audioTarget);
    return std::make_unique<SilentAudio>();
}

std::string audioDescription(const Options& options) {
    if (options.command == Command::demo) return "";
    if (options.audio == AudioKind::fifo) return " with the sound of " + options.audioTarget;
    if (options.audio == AudioKind::none) return " in silence";
    return options.audioTarget.empty() ? " with the sound server's sound" : " with the sound of " + options.audioTarget;
}

std::string playerDescription(const Options& options) {
    if (options.command == Command::demo) return "the demo player";
    if (options.command == Command::mpris)
        return options.playerName.empty() ? "the MPRIS player that plays" : "the MPRIS player " + options.playerName;
    const std::string host = "MPD at " + (options.mpdHost.empty() ? std::string("the default host") : options.mpdHost);
    return options.mpdPort ? host + " port " + std::to_string(options.mpdPort) : host;
}

std::string limitDescription(const Options& options) {
    std::string text;
    if (options.frames) text += " for " + std::to_string(*options.frames) + " frames";
    if (options.seconds) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", *options.seconds);
        text += (options.frames ? " or " : " for ") + std::string(seconds) + " seconds";
    }
    return text;
}

// The demo shows off everything when nothing is stored; a real display gets what the plug-in
// itself would start with.
WhenNothingIsStored whenNothingIsStored(const Options& options) {
    const bool showcase = options.command == Command::demo && options.display != DisplayKind::hardware;
    return showcase ? WhenNothingIsStored::showcase : WhenNothingIsStored::pluginDefaults;
}

// A "Save settings" of the dialog in a run with settings of its own goes where it was meant to.
void passOnSave(StoredSettings& settings) {
    const std::string told = settings.passOnSave();
    if (told.empty()) return;
    std::printf("tessaranth: %s\n", told.c_str());
    std::fflush(stdout);
}

// A window on a graphical display, when its module is installed; the terminal otherwise.
ViewKind chosenView(const Options& options) {
    if (options.view != ViewKind::automatic) return options.view;
    if (!graphicalDisplay()) return ViewKind::terminal;
    if (isFile(fileBesideThisProgram(windowPlaces))) return ViewKind::window;
    std::fprintf(stderr, "tessaranth: the window is not installed (tessaranth-dialog), so the display is shown in the "
                         "terminal\n");
    return ViewKind::terminal;
}

// Everything one run of a player with the plug-in needs, made in the order the run needs it.
class PlayerRun {
public:
    explicit PlayerRun(const Options& options)
        : options_(options), settings_(options.settingsFile, whenNothingIsStored(options), {}, options.overrides),
          plugin_(options.plugin) {
        makeDisplay();
        player_ = makePlayer(options);
        audio_ = makeAudio(options);
        installServices();
    }

    void run() {
        FrameLoop::catchInterrupts();
        if (!settings_.saved().empty()) std::printf("tessaranth: %s\n", settings_.saved().c_str());
        if (settings_.showcase())
            std::printf("tessaranth: no settings are stored, so the demo shows a showcase of everything the plug-in "
                        "draws; make your own with 'tessaranth config'\n");
        std::printf("tessaranth: %s shows %s%s on %s%s; press Ctrl-C%s to stop\n", plugin_.description(),
                    playerDescription(options_).c_str(), audioDescription(options_).c_str(),
                    display_->description().c_str(), limitDescription(options_).c_str(),
                    window_ ? " or close the window" : "");
        std::fflush(stdout);
        AudioSource& audio = audio_ ? *audio_ : dynamic_cast<AudioSource&>(*player_);
        HostSession session(plugin_, *player_, audio, [this] { display_->frameDone(); });
        if (window_)
            configure_ = [this, &session] {
                session.configure();
                passOnSave(settings_);
            };
        session.start();
        FrameLoop loop(session, {options_.frames, options_.seconds});
        if (window_)
            window_->run(loop);
        else
            loop.run();
        if (session.closeRequested())
            throw Failure("the plug-in could not start its display and asked the player to close");
    }

private:
    void makeDisplay() {
        if (options_.display == DisplayKind::none) {
            display_ = std::make_unique<NullDisplay>();
            return;
        }
        if (options_.display == DisplayKind::hardware) {
            display_ = std::make_unique<HardwareDisplay>();
            return;
        }
        tessaranth::emu::DisplaySetup setup = settings_.displaySetup();
        setup.panel = options_.panel;
        auto display = std::make_unique<VirtualDisplayTarget>(setup);
        switch (chosenView(options_)) {
        case ViewKind::png: view_ = std::make_unique<PngView>(options_.pngDirectory, options_.every); break;
        case ViewKind::window:
            // Qt would end the program for want of a display.
            if (!graphicalDisplay() && !qtPlatformNamed())
                throw Failure("a window needs a graphical display (DISPLAY or WAYLAND_DISPLAY): use --view terminal or "
                              "--view png:DIR");
            window_ = new WindowView(loadWindowModule(fileBesideThisProgram(windowPlaces)), display->display(), [this] {
                if (configure_) configure_();
            });
            view_.reset(window_);
            break;
        default: view_ = std::make_unique<TerminalView>(); break;
        }
        display->setView(view_.get());
        display_ = std::move(display);
    }

    void installServices() {
        const TessaranthHostServices* services = display_->services();
        if (!options_.trace.empty()) {
            trace_ = std::make_unique<PortTrace>(options_.trace, services ? *services : TessaranthHostServices{});
            if (!trace_->isOpen()) throw Failure("cannot write the trace file " + options_.trace);
            services = &trace_->services();
        }
        plugin_.setHostServices(services);
    }

    const Options& options_;
    StoredSettings settings_;
    PluginLibrary plugin_;
    std::unique_ptr<PlayerSource> player_;
    std::unique_ptr<AudioSource> audio_;
    std::unique_ptr<DisplayView> view_;
    WindowView* window_ = nullptr;  // view_, when it is the window
    std::unique_ptr<DisplayTarget> display_;
    std::unique_ptr<PortTrace> trace_;
    std::function<void()> configure_;
};

int configure(const Options& options) {
    const bool pictures = !options.screenshotDirectory.empty();
    // Pictures need no screen: Qt draws them offscreen.
    if (pictures && !graphicalDisplay() && !qtPlatformNamed()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!graphicalDisplay() && !qtPlatformNamed())
        throw Failure(std::string("the configuration dialog needs a graphical display (DISPLAY or WAYLAND_DISPLAY); "
                                  "without one, ") + setUpWithoutDialog);
    StoredSettings settings(options.settingsFile);
    PluginLibrary plugin(options.plugin);
    VisModule& module = plugin.module();
    if (!module.configCallback) throw Failure("the plug-in has no configuration dialog");
    loadDialogModule((std::filesystem::path(options.plugin).parent_path() / tessaranth::dialogModuleFile).string());
    std::unique_ptr<DialogPictures> shots;
    if (pictures)
        shots = loadWindowModule(fileBesideThisProgram(windowPlaces)).photographDialog(options.screenshotDirectory);
    module.configCallback(&module);
    passOnSave(settings);
    if (shots && (shots->failed() || shots->written() == 0))
        throw Failure("cannot take pictures of the dialog in " + options.screenshotDirectory);
    if (shots) std::printf("tessaranth: %d pictures of the dialog in %s\n", shots->written(), options.screenshotDirectory.c_str());
    return 0;
}

int examine(const Options& options) {
    const Doctor doctor(Machine::thisMachine(), {options.settingsFile, options.mpdHost, options.mpdPort, "",
                                                 fileBesideThisProgram(guidePlaces)});
    doctor.report(stdout);
    return doctor.exitStatus();
}

int run(const Options& options) {
    if (options.command == Command::help || options.help) {
        std::fputs(helpText(options.command).c_str(), stdout);
        return 0;
    }
    if (options.command == Command::config)
        return setsUpWithoutDialog(options) ? setUp(options, stdout) : configure(options);
    if (options.command == Command::doctor) return examine(options);
    PlayerRun(options).run();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // A save beyond the file size limit fails and says so, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const Options options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), fileBesideThisProgram(pluginPlaces));
        return run(options);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tessaranth: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessaranth: %s\n", error.what());
        return 1;
    }
}
