// tessaranth: hosts the vis_lumidra plug-in on Linux and plays the player's part for it.
#include "CommandLine.h"
#include "DemoPlayer.h"
#include "DisplayTarget.h"
#include "Errors.h"
#include "FrameLoop.h"
#include "HostSession.h"
#include "MpdFollower.h"
#include "PluginLibrary.h"
#include "PortTrace.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace tessaranth::host;

namespace {

std::unique_ptr<PlayerSource> makePlayer(const Options& options) {
    if (options.command == Command::mpd)
        return std::make_unique<MpdFollower>(options.mpdHost, options.mpdPort, options.fifo);
    return std::make_unique<DemoPlayer>();
}

std::unique_ptr<DisplayTarget> makeDisplay(const Options& options) {
    switch (options.display) {
    case DisplayKind::none: return std::make_unique<NullDisplay>();
    case DisplayKind::hardware: return std::make_unique<HardwareDisplay>();
    case DisplayKind::virtualDisplay: break;
    }
    throw Failure("the virtual display is not available in this build; use --display none or hardware");
}

std::string playerDescription(const Options& options) {
    if (options.command == Command::demo) return "the demo player";
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

int play(const Options& options) {
    auto player = makePlayer(options);
    PluginLibrary plugin(options.plugin);
    auto display = makeDisplay(options);
    std::unique_ptr<PortTrace> trace;
    const TessaranthHostServices* services = display->services();
    if (!options.trace.empty()) {
        trace = std::make_unique<PortTrace>(options.trace, services ? *services : TessaranthHostServices{});
        if (!trace->isOpen()) throw Failure("cannot write the trace file " + options.trace);
        services = &trace->services();
    }
    plugin.setHostServices(services);

    std::printf("tessaranth: %s shows %s on %s%s; press Ctrl-C to stop\n", plugin.description(),
                playerDescription(options).c_str(), display->description().c_str(), limitDescription(options).c_str());
    std::fflush(stdout);
    FrameLoop::catchInterrupts();
    HostSession session(plugin, *player, [&display] { display->frameDone(); });
    session.start();
    FrameLoop loop(session, {options.frames, options.seconds});
    loop.run();
    if (session.closeRequested())
        throw Failure("the plug-in could not start its display and asked the player to close");
    return 0;
}

int run(const Options& options) {
    if (options.command == Command::help || options.help) {
        std::fputs(helpText(options.command).c_str(), stdout);
        return 0;
    }
    if (options.command == Command::config) throw Failure("the configuration dialog is not available in this build");
    return play(options);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), TESSARANTH_DEFAULT_PLUGIN);
        return run(options);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tessaranth: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessaranth: %s\n", error.what());
        return 1;
    }
}
