// SPDX-License-Identifier: GPL-2.0-or-later
#include "setup/NamedSettings.h"

#include "config/FormTable.h"
#include "globals/Globals.h"
#include "settings/SettingsFields.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tessaranth::host {

namespace {

// What the probe stores in a field to see which controls follow it: no byte of it is 0.
constexpr uint32_t probe = 0x5A5A5A5A;

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The largest number a field holds: its bytes, and for four bytes what the dialog's conversion
// of a number yields, a signed 32-bit number, from 0.
uint32_t widthMaximum(const StoredField& field) {
    if (field.width == 1) return 0xFF;
    if (field.width == 2) return 0xFFFF;
    return INT32_MAX;
}

// Packed positions are the values whose names end in XY.
bool isPosition(const StoredField& field) { return std::string_view(field.name).ends_with("XY"); }

// The text with its runs of spaces made one and none at the ends, and a size "128 x 64" as 128x64.
std::string compact(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (!isSpace(c))
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    for (std::size_t i = out.find(" x "); i != std::string::npos; i = out.find(" x ", i + 1))
        if (i > 0 && isDigit(out[i - 1]) && i + 3 < out.size() && isDigit(out[i + 3])) out.replace(i, 3, "x");
    return out;
}

// What a name or an entry is compared by: its letters in lower case, without spaces.
std::string key(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (!isSpace(c)) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// A whole number from 0 to 2^32 - 1.
std::optional<uint32_t> unsignedNumber(std::string_view text) {
    const auto value = settingNumber(text);
    if (!value || *value < 0 || *value > int64_t{UINT32_MAX}) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

// Whether the fill of the control follows the field: its reading changes when only the field does.
bool follows(const ControlSpec& control, Settings& settings, const StoredField& field) {
    if (!control.read) return false;
    storeField(settings.image(), field, 0);
    const int32_t before = control.read(settings);
    storeField(settings.image(), field, probe);
    return control.read(settings) != before;
}

// The bits of the field that a numeric edit's store keeps.
uint32_t keptByEdit(const ControlSpec& control, Settings& settings, const StoredField& field) {
    if (!control.write) return widthMaximum(field);
    storeField(settings.image(), field, 0);
    control.write(settings, -1);
    return loadField(settings.image(), field);
}

std::vector<Choice> entriesOf(const ControlSpec& control) {
    std::vector<Choice> choices;
    for (std::size_t i = 0; i < control.items.size(); ++i)
        choices.push_back({static_cast<uint32_t>(i), compact(control.items[i])});
    return choices;
}

// The port address list is filled by the form itself, not through a reading of its own; each of
// its entries stands for the address it starts with.
std::vector<Choice> portAddresses() {
    const ControlSpec& list = formControls()[static_cast<std::size_t>(formControlIndex("LPTAddress"))];
    std::vector<Choice> choices;
    for (const char* item : list.items)
        choices.push_back({static_cast<uint32_t>(std::strtoul(item, nullptr, 16)), compact(item)});
    return choices;
}

NamedSetting ofRecord(const StoredField& field, ValueRule rule, int64_t minimum, int64_t maximum,
                      std::vector<Choice> choices = {}) {
    return {field.name, &field, nullptr, rule, minimum, maximum, std::move(choices)};
}

NamedSetting numbers(const StoredField& field, uint32_t maximum) {
    return ofRecord(field, isPosition(field) ? ValueRule::position : ValueRule::range, 0, maximum);
}

// The setting as the dialog's controls that follow its field edit it.
NamedSetting describe(const StoredField& field, Settings& settings) {
    if (field.kind == FieldKind::text) return ofRecord(field, ValueRule::text, 0, field.width - 1);
    if (field.kind == FieldKind::flag) return ofRecord(field, ValueRule::tick, 0, 1);
    if (field.offset == offsetof(SettingsImage, lptAddress)) return ofRecord(field, ValueRule::choice, 0, 0, portAddresses());
    uint32_t edited = 0;
    for (const ControlSpec& control : formControls()) {
        if (!follows(control, settings, field)) continue;
        if (control.kind == ControlKind::checkBox) return ofRecord(field, ValueRule::tick, 0, 1);
        if (control.kind == ControlKind::slider) return ofRecord(field, ValueRule::range, control.minimum, control.maximum);
        if (control.kind == ControlKind::edit)
            edited |= keptByEdit(control, settings, field);
        else if (!control.items.empty())
            return ofRecord(field, ValueRule::choice, 0, 0, entriesOf(control));
    }
    return numbers(field, edited ? edited : widthMaximum(field));
}

// A bus value with the range of its entry; a bus text is never empty.
NamedSetting describe(const BusField& field) {
    NamedSetting setting{field.name, nullptr, &field, ValueRule::range, field.least, field.most, {}};
    if (field.kind == FieldKind::text) {
        setting.rule = ValueRule::text;
        setting.minimum = 1;
        setting.maximum = field.width - 1;
    } else if (field.kind == FieldKind::flag) {
        setting.rule = ValueRule::tick;
    } else if (writtenInHex(field)) {
        setting.rule = ValueRule::address;
    }
    return setting;
}

const Choice* choiceOf(const NamedSetting& setting, int64_t value) {
    for (const Choice& choice : setting.choices)
        if (choice.value == value) return &choice;
    return nullptr;
}

// An entry by its text, by the part before its parenthesis ("Strobe" for "Strobe (pin 1)") or by
// what is inside ("LPT1" for "0x378 (LPT1)"), or by its number.
const Choice* chosen(const NamedSetting& setting, std::string_view text) {
    const std::string wanted = key(text);
    for (const Choice& choice : setting.choices)
        if (key(choice.text) == wanted) return &choice;
    for (const Choice& choice : setting.choices) {
        const std::size_t open = choice.text.find(" (");
        if (open == std::string::npos || !choice.text.ends_with(')')) continue;
        const std::string_view whole = choice.text;
        if (key(whole.substr(0, open)) == wanted || key(whole.substr(open + 2, whole.size() - open - 3)) == wanted)
            return &choice;
    }
    const auto value = unsignedNumber(text);
    return value ? choiceOf(setting, *value) : nullptr;
}

std::optional<uint32_t> tick(std::string_view text) {
    const std::string word = key(text);
    for (const char* on : {"1", "on", "yes", "true"})
        if (word == on) return 1;
    for (const char* off : {"0", "off", "no", "false"})
        if (word == off) return 0;
    return std::nullopt;
}

// COLUMN,LINE or the packed number.
std::optional<uint32_t> position(const NamedSetting& setting, std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        const auto packed = unsignedNumber(text);
        return packed && *packed <= setting.maximum ? packed : std::nullopt;
    }
    const auto column = unsignedNumber(trimmed(text.substr(0, comma)));
    const auto line = unsignedNumber(trimmed(text.substr(comma + 1)));
    if (!column || !line || *column > setting.maximum >> 8 || *line > (setting.maximum & 0xFF)) return std::nullopt;
    return *column << 8 | *line;
}

std::optional<int64_t> numeric(const NamedSetting& setting, std::string_view text) {
    switch (setting.rule) {
    case ValueRule::tick: return tick(text);
    case ValueRule::position: return position(setting, text);
    case ValueRule::choice: {
        const Choice* choice = chosen(setting, text);
        return choice ? std::optional<int64_t>(choice->value) : std::nullopt;
    }
    default: {
        const auto value = settingNumber(text);
        return value && *value >= setting.minimum && *value <= setting.maximum ? value : std::nullopt;
    }
    }
}

std::string hex(int64_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string choices(const NamedSetting& setting) {
    std::string text;
    for (std::size_t i = 0; i < setting.choices.size(); ++i) {
        const Choice& choice = setting.choices[i];
        text += i ? ", " : "";
        if (choice.value == i) text += std::to_string(i) + " ";
        text += "\"" + choice.text + "\"";
    }
    return text;
}

std::string textOf(const NamedSetting& setting, const Settings& settings) {
    if (setting.bus) {
        char text[busDeviceSize];
        copyBusText(settings.bus(), *setting.bus, text);
        return text;
    }
    const char* text = reinterpret_cast<const char*>(&settings.image()) + setting.field->offset;
    return std::string(text, strnlen(text, setting.field->width));
}

} // namespace

NamedSettings::NamedSettings() {
    Settings& settings = *gSettings;
    SettingsImage kept;
    copyImage(kept, settings.image());
    for (const StoredField& field : registryFields()) settings_.push_back(describe(field, settings));
    copyImage(settings.image(), kept);
    for (const BusField& field : busFields()) settings_.push_back(describe(field));
}

const NamedSetting* NamedSettings::find(std::string_view name) const {
    for (const NamedSetting& setting : settings_)
        if (sameName(setting.name, name)) return &setting;
    return nullptr;
}

std::string NamedSettings::names() const {
    std::string text;
    for (const NamedSetting& setting : settings_) text += (text.empty() ? "" : ", ") + std::string(setting.name);
    return text;
}

bool sameName(std::string_view a, std::string_view b) { return key(a) == key(b); }

std::string shown(const NamedSetting& setting, const Settings& settings) {
    if (setting.rule == ValueRule::text) return textOf(setting, settings);
    const int64_t value = setting.bus ? busValue(settings.bus(), *setting.bus) : loadField(settings.image(), *setting.field);
    if (setting.rule == ValueRule::position) return hex(value, 4);
    if (setting.rule == ValueRule::address) return hex(value, 2);
    if (const Choice* choice = setting.rule == ValueRule::choice ? choiceOf(setting, value) : nullptr) return choice->text;
    return std::to_string(value);
}

std::optional<SettingValue> parsed(const NamedSetting& setting, std::string_view text) {
    if (setting.rule == ValueRule::text) {
        const auto length = static_cast<int64_t>(text.size());
        if (length < setting.minimum || length > setting.maximum || text.find('\0') != std::string_view::npos)
            return std::nullopt;
        return SettingValue{0, std::string(text)};
    }
    const auto value = numeric(setting, trimmed(text));
    if (!value) return std::nullopt;
    return SettingValue{*value, {}};
}

std::string allowed(const NamedSetting& setting) {
    switch (setting.rule) {
    case ValueRule::tick: return "0 or 1 (off or on)";
    case ValueRule::position:
        return "a column from 0 to " + std::to_string(setting.maximum >> 8) + " and a line from 0 to " +
               std::to_string(setting.maximum & 0xFF) + " as COLUMN,LINE, or both in one number, the column times 256 "
               "plus the line (up to " + hex(setting.maximum, 4) + ")";
    case ValueRule::choice: return "one of " + choices(setting);
    case ValueRule::text:
        return "a text of " + (setting.minimum ? std::to_string(setting.minimum) + " to " : "at most ") +
               std::to_string(setting.maximum) + " characters";
    case ValueRule::address:
        return "an address from " + hex(setting.minimum, 2) + " to " + hex(setting.maximum, 2) + ", in hexadecimal "
               "after 0x or in decimal";
    default:
        return "a whole number from " + std::to_string(setting.minimum) + " to " + std::to_string(setting.maximum) +
               (setting.minimum < 0 ? " (-1: not wired)" : "");
    }
}

void store(const NamedSetting& setting, Settings& settings, const SettingValue& value) {
    if (setting.bus) {
        BusSettings bus = settings.bus();
        if (setting.rule == ValueRule::text)
            setBusText(bus, *setting.bus, value.text);
        else
            setBusValue(bus, *setting.bus, value.number);
        settings.setBus(bus);
    } else if (setting.rule == ValueRule::text) {
        relaxedCopyText(textField(settings.image(), *setting.field), setting.field->width, value.text.c_str());
    } else {
        storeField(settings.image(), *setting.field, static_cast<uint32_t>(value.number));
    }
}

} // namespace tessaranth::host
