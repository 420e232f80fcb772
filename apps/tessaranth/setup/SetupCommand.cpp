// SPDX-License-Identifier: GPL-2.0-or-later
#include "setup/SetupCommand.h"

#include "Errors.h"
#include "session/DisplayOverrides.h"
#include "session/HostCopy.h"
#include "setup/BoardPresets.h"
#include "setup/NamedSettings.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"
#include "globals/Globals.h"
#include "platform/posix/RegistryLocation.h"
#include "settings/Settings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tessaranth::host {

namespace {

bool changes(const Options& options) { return !options.assignments.empty() || !options.preset.empty(); }

struct Assignment {
    const NamedSetting* setting;
    SettingValue value;
};

Assignment assignmentOf(const NamedSettings& named, const std::string& pair) {
    const std::size_t equals = pair.find('=');
    if (equals == std::string::npos) throw Failure("'" + pair + "' is not NAME=VALUE, nothing was stored");
    const std::string name = pair.substr(0, equals);
    const NamedSetting* setting = named.find(name);
    if (!setting)
        throw Failure("no setting is named '" + name + "', nothing was stored; the names are: " + named.names());
    const auto value = parsed(*setting, std::string_view(pair).substr(equals + 1));
    if (!value)
        throw Failure("'" + pair + "' is not allowed, nothing was stored: " + setting->name + " is " +
                      allowed(*setting));
    return {setting, *value};
}

// The presets that wire the lines, by their place in the dialog's list.
std::vector<std::size_t> wiringPresets() {
    std::vector<std::size_t> presets;
    for (std::size_t i = 0; i < wiringPresetLines.size(); ++i)
        if (wiringPresetLines[i][0] >= 0) presets.push_back(i);
    return presets;
}

// A wiring preset by its place in the dialog's list, or a board's preset.
struct Preset {
    std::size_t wiring = 0;
    const BoardPreset* board = nullptr;
};

// A preset by its name in the dialog's list or among the boards', the case of letters aside, or
// by its place in the dialog's list.
Preset presetNamed(const std::string& name) {
    std::string known;
    for (const std::size_t preset : wiringPresets()) {
        const std::string entry = wiringPresetNames[preset];
        if (name == std::to_string(preset) || sameName(name, entry)) return {preset, nullptr};
        known += (known.empty() ? "" : ", ") + std::to_string(preset) + " \"" + entry + "\"";
    }
    for (const BoardPreset& board : boardPresets()) {
        if (sameName(name, board.name)) return {0, &board};
        known += std::string(", \"") + board.name + "\"";
    }
    throw Failure("there is no wiring preset '" + name + "', nothing was stored; the presets are " + known);
}

void applyPreset(const Preset& preset, Settings& settings) {
    if (preset.board) {
        BusSettings bus = settings.bus();
        preset.board->apply(bus);
        settings.setBus(bus);
        return;
    }
    if (!preset.wiring) return;
    const auto& lines = wiringPresetLines[preset.wiring];
    settings.setWiringCS(static_cast<uint32_t>(lines[0]));
    settings.setWiringA0(static_cast<uint32_t>(lines[1]));
    settings.setWiringWR(static_cast<uint32_t>(lines[2]));
    settings.setWiringRD(static_cast<uint32_t>(lines[3]));
}

// Where the settings are stored, for the messages.
std::string storeName(const Options& options) {
    return options.settingsFile.empty() ? platform::registryFileLocation() : options.settingsFile;
}

// Reads the settings into gSettings. False when none of this version are stored, and the record
// holds the plug-in's defaults; a configuration file that is not there yet is made by a save.
bool load(const Options& options) {
    if (options.settingsFile.empty()) return gSettings->loadFromRegistry();
    std::error_code error;
    if (!std::filesystem::exists(options.settingsFile, error) && changes(options)) return false;
    if (!std::filesystem::is_regular_file(options.settingsFile, error) ||
        !withSettingsFile(options.settingsFile, &Settings::loadFromFile))
        throw Failure("cannot read the configuration file " + options.settingsFile);
    return true;
}

bool save(const Options& options) {
    if (options.settingsFile.empty()) return gSettings->saveToRegistry();
    return withSettingsFile(options.settingsFile, &Settings::saveToFile);
}

void change(const Options& options, const NamedSettings& named, std::vector<std::string>& messages) {
    std::vector<Assignment> assignments;
    const Preset preset = options.preset.empty() ? Preset{} : presetNamed(options.preset);
    for (const std::string& pair : options.assignments) assignments.push_back(assignmentOf(named, pair));
    applyPreset(preset, *gSettings);
    for (const Assignment& a : assignments) store(*a.setting, *gSettings, a.value);
    messages.clear();
    if (!save(options))
        throw Failure(withMessages("cannot store the settings in " + storeName(options) + ", nothing was stored", messages));
}

// A controller and a size that no module has together are stored all the same (the other of the
// two may be set next), and said.
void noteUnservedSize(const NamedSettings& named, const Settings& settings) {
    const ControllerRow* row = findController(static_cast<uint8_t>(settings.controller()));
    const NamedSetting* size = named.find("Display format");
    if (!row || !size || row->serves(settings.displayFormat())) return;
    std::fprintf(stderr, "tessaranth: note: the %s serves %s, not %s; the display will not start until 'Display format' is "
                         "one of these\n",
                 row->name, servedSizes(*row).c_str(), shown(*size, settings).c_str());
}

void show(const NamedSettings& named, std::FILE* out) {
    for (const NamedSetting& setting : named.all())
        std::fprintf(out, "%s=%s\n", setting.name, shown(setting, *gSettings).c_str());
}

} // namespace

bool setsUpWithoutDialog(const Options& options) { return options.show || changes(options); }

// Notes go to stderr, so that what --show prints can be read back.
int setUp(const Options& options, std::FILE* out) {
    std::vector<std::string> messages;
    onHostCopy(messages, [&] {
        const bool stored = load(options);
        if (stored && !messages.empty())
            std::fprintf(stderr, "tessaranth: %s\n", withMessages("reading the settings", messages).c_str());
        const NamedSettings named;
        if (changes(options)) change(options, named, messages);
        if (!stored)
            std::fprintf(stderr, "tessaranth: no settings of this version were stored in %s, so %s the plug-in's "
                                 "defaults\n",
                         storeName(options).c_str(), changes(options) ? "the ones not set here are" : "these are");
        if (changes(options)) {
            std::fprintf(stderr, "tessaranth: stored the settings in %s\n", storeName(options).c_str());
            noteUnservedSize(named, *gSettings);
        }
        if (options.show) show(named, out);
    });
    return 0;
}

} // namespace tessaranth::host
