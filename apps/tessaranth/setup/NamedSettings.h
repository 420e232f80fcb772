// SPDX-License-Identifier: GPL-2.0-or-later
// The settings by the names the registry and the configuration file give them, each with what it
// may hold: the limits of the dialog's control that edits it (a check box, a slider's range, a
// list's entries, what a numeric edit keeps), or, for a value no control edits, what its field
// holds; after them the display's bus values with the ranges of their list. Made from the
// registry's list of values, the dialog's table of controls and the bus list alone, so a value
// added to any of them is here at once.
#pragma once

#include "settings/BusFields.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth::host {

enum class ValueRule : uint8_t {
    tick,      // 0 or 1
    range,     // a whole number from minimum to maximum (a line: -1 when it is not wired)
    address,   // a range, shown in hexadecimal
    position,  // column in the high byte, line in the low byte
    choice,    // one of choices
    text,      // minimum to maximum characters
};

struct Choice {
    uint32_t value;
    std::string text;  // the dialog's entry, its runs of spaces made one
};

struct NamedSetting {
    const char* name;
    const StoredField* field = nullptr;  // a value of the settings record,
    const BusField* bus = nullptr;       // or one of the display's bus
    ValueRule rule = ValueRule::range;
    int64_t minimum = 0, maximum = 0;
    std::vector<Choice> choices;
};

// A value for a setting, as stored.
struct SettingValue {
    int64_t number = 0;
    std::string text;
};

class NamedSettings {
public:
    // Made while the host's copy of the plug-in is loaded: the dialog's controls read the live
    // record (gSettings), which is left as it was found.
    NamedSettings();

    std::span<const NamedSetting> all() const { return settings_; }
    // The setting of that name (sameName); null when there is none.
    const NamedSetting* find(std::string_view name) const;
    // Every name, for a message.
    std::string names() const;

private:
    std::vector<NamedSetting> settings_;
};

// Whether two names are the same, whatever the case of their letters and the spaces in them.
bool sameName(std::string_view a, std::string_view b);

// The value as --show prints it and --set takes it back.
std::string shown(const NamedSetting& setting, const Settings& settings);
// What text means for the setting; nothing when the setting cannot hold it.
std::optional<SettingValue> parsed(const NamedSetting& setting, std::string_view text);
// What the setting can hold, for a message: "a whole number from 0 to 10".
std::string allowed(const NamedSetting& setting);
void store(const NamedSetting& setting, Settings& settings, const SettingValue& value);

} // namespace tessaranth::host
