// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/Doctor.h"

#include "doctor/BusChecks.h"
#include "doctor/MachineChecks.h"
#include "doctor/ServiceChecks.h"

#include "Errors.h"
#include "session/StoredSettings.h"

#include "controllers/ControllerTable.h"
#include "geometry/DisplayFormat.h"
#include "platform/posix/RegistryLocation.h"

#include <filesystem>

namespace tessaranth::host {

namespace {

const char* const makeYourOwn = "set up your display with 'tessaranth config' and press \"Save settings\"";

std::string describe(const emu::DisplaySetup& s, const Bus& bus) {
    const ControllerRow* row = findController(s.controller);
    const std::string name = row ? row->name : "controller " + std::to_string(s.controller);
    const DisplaySize size = displaySize(s.displayFormat);
    const std::string dimensions = knownDisplaySize(s.displayFormat)
                                       ? std::to_string(size.width) + "x" + std::to_string(size.height)
                                       : "of display format " + std::to_string(s.displayFormat);
    return name + " " + dimensions + (row ? " " + describe(bus) : "");
}

Finding settingsFinding(const std::string& file, const std::string& location, const std::vector<std::string>& messages) {
    if (!file.empty()) return {Verdict::ok, "settings", "read from the configuration file " + file, ""};
    if (location.empty())
        return {Verdict::warning, "settings", "there is no home folder to keep them in: the plug-in starts with its defaults",
                "set HOME or XDG_CONFIG_HOME"};
    if (!std::filesystem::exists(location))
        return {Verdict::warning, "settings", "none are stored in " + location + ": the plug-in starts with its defaults",
                makeYourOwn};
    if (messages.empty()) return {Verdict::ok, "settings", "read from " + location, ""};
    std::string said;
    for (const std::string& message : messages) said += " \"" + message + "\"";
    return {Verdict::warning, "settings",
            "the plug-in does not take what " + location + " holds and starts with its defaults; it says" + said,
            makeYourOwn};
}

Finding displayFinding(const emu::DisplaySetup& setup, const std::string& description) {
    if (!findController(setup.controller))
        return {Verdict::problem, "display", description + ": the plug-in has no driver for it",
                "choose a controller in 'tessaranth config'"};
    if (!knownDisplaySize(setup.displayFormat))
        return {Verdict::problem, "display", description + ": no display size of that number is known",
                "choose a display size in 'tessaranth config'"};
    return {Verdict::ok, "display", description, ""};
}

const char* verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::ok: return "ok";
    case Verdict::warning: return "warning";
    case Verdict::problem: return "problem";
    }
    return "";
}

} // namespace

Doctor::Doctor(const Machine& machine, const DoctorOptions& options) : guide_(options.hardwareGuide) {
    const std::optional<ConfiguredDisplay> setup = readSettings(options.settingsFile);
    const std::optional<BootConfig> config = BootConfig::read(machine);
    const BootConfig* pi = config ? &*config : nullptr;
    if (setup)
        checkDisplay(machine, *setup, pi);
    else
        add(checkMachine(machine, pi));
    add({checkMpd(options.mpdHost, options.mpdPort), checkSound(machine), checkMpris(options.busAddress)});
    add(checkService(machine));
}

std::optional<ConfiguredDisplay> Doctor::readSettings(const std::string& settingsFile) {
    const std::string location = settingsFile.empty() ? platform::registryFileLocation() : settingsFile;
    try {
        const StoredSettings settings(settingsFile);
        add({settingsFinding(settingsFile, location, settings.messages())});
        const emu::DisplaySetup& setup = settings.displaySetup();
        const ControllerRow* row = findController(setup.controller);
        return ConfiguredDisplay{setup, row ? busOf(*row, setup.lptAddress, settings.busSetup()) : Bus{}};
    } catch (const Failure& failure) {
        add({{Verdict::problem, "settings", failure.what(), "name a file saved with the dialog's \"Save to file\""}});
        return std::nullopt;
    }
}

void Doctor::checkDisplay(const Machine& machine, const ConfiguredDisplay& configured, const BootConfig* pi) {
    display_ = describe(configured.setup, configured.bus);
    const Finding display = displayFinding(configured.setup, display_);
    add({display});
    add(checkMachine(machine, pi));
    if (display.verdict == Verdict::ok) add(checkBus(machine, configured.bus, pi));
    drivable_ = noProblem(findings_);
}

void Doctor::add(std::vector<Finding> findings) {
    for (Finding& finding : findings) findings_.push_back(std::move(finding));
}

void Doctor::report(std::FILE* out) const {
    std::fprintf(out, "tessaranth doctor: what %s needs on this machine\n",
                 display_.empty() ? "the configured display" : display_.c_str());
    for (const Finding& finding : findings_) {
        std::fprintf(out, "  %-8s %-19s %s\n", verdictName(finding.verdict), finding.topic.c_str(), finding.text.c_str());
        if (!finding.advice.empty()) std::fprintf(out, "  %-8s %-19s -> %s\n", "", "", finding.advice.c_str());
    }
    std::fputs(drivable_ ? "The display can be driven.\n"
                         : "The display cannot be driven until the problems above are fixed.\n",
               out);
    if (!guide_.empty()) std::fprintf(out, "How to connect and set up each display: %s\n", guide_.c_str());
}

} // namespace tessaranth::host
