// SPDX-License-Identifier: GPL-2.0-or-later
#include "HardwareGuide.h"

#include "PiHeaderGuide.h"

#include "config/WiringTable.h"
#include "controllers/ControllerTable.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tessaranth::guide {

namespace {

// How the port drivers use the four control lines. The T6963C and SED133x drivers place every
// signal where the wiring settings say; the KS0108B driver always puts RS on pin 17 and the
// Noritake driver C/D on pin 17 and a low CSS on pin 1, whatever the settings name.
constexpr ControllerWiring wirings[] = {
    {"T6963C",
     0,
     {{{0, "chip enable, active low: pulsed low with WR for every byte"},
       {0, "high for a command, low for data"},
       {0, "write strobe, active low"},
       {0, "not used: the plug-in never reads, the line stays high"}}},
     "The module must run its 6-pixel-wide font (its font select input FS; the level is in the module's "
     "datasheet). When the picture is garbled on a fast port or a long cable, tick \"Slower timing (T6963C)\" "
     "on the \"Misc..\" page: every bus cycle then reads the data register twice while the strobes are low."},
    {"SED1330 and SED1335",
     1,
     {{{0, "chip select, active low: pulsed low around WR for every byte"},
       {0, "high for a command, low for a parameter or data"},
       {0, "write strobe, active low"},
       {0, "not used: the plug-in never reads, the line stays high"}}},
     "The controller's bus interface must be in 8080 mode (separate read and write strobes). The two "
     "controllers are driven the same way."},
    {"KS0108B",
     3,
     {{{0, "enable: pulsed high for every byte, which is taken when it falls"},
       {17, "high for data, low for an instruction; always on pin 17, whatever the setting says"},
       {0, "selects the left chip (columns 0 to 63) by going high"},
       {0, "selects the right chip (columns 64 to 127) by going high"}}},
     "R/W must stay low: connect it to GND (the plug-in only writes). A module whose chip selects are active "
     "low needs CS1 and CS2 inverted. A 192-pixel-wide module has three chips behind a decoder: CS1 and CS2 "
     "both low select chip 1, CS2 alone high chip 2, CS1 alone high chip 3. The controller list's "
     "\"HD61830 (N/A)\" drives a KS0108B in the same way; an HD61830 itself is not supported."},
    {"Noritake 800(A)",
     5,
     {{{1, "chip select, active low: held low; always on pin 1 (or connect it to GND)"},
       {17, "high for a command, low for data; always on pin 17, whatever the setting says"},
       {0, "write strobe, active low"},
       {0, "not used: the line stays high"}}},
     "Only WR follows the wiring settings; the driver holds pin 1 low and pins 14 and 16 high. The "
     "\"Brightness\" list on the \"Misc..\" page sets the display's brightness; it is enabled only for "
     "this controller."},
};

int presetPin(std::size_t preset, std::size_t row) {
    return wiringLinePins[static_cast<std::size_t>(wiringPresetLines[preset][row])];
}

const char* signalName(const ControllerWiring& wiring, std::size_t row) {
    return findController(wiring.controller)->signalNames[row];
}

std::string pinName(int pin) {
    for (std::size_t line = 0; line < std::size(wiringLinePins); ++line)
        if (wiringLinePins[line] == pin) return wiringLineNames[line];
    return "pin " + std::to_string(pin);
}

bool carriesWiring(std::size_t preset) { return wiringPresetLines[preset][0] >= 0; }

// The presets that set the four lines, the dialog's "select preset..." and empty entries aside.
std::vector<std::size_t> wiringPresets() {
    std::vector<std::size_t> presets;
    for (std::size_t preset = 0; preset < wiringPresetLines.size(); ++preset)
        if (carriesWiring(preset)) presets.push_back(preset);
    return presets;
}

std::string presetTable(const ControllerWiring& wiring, std::vector<std::string>& unsuitable) {
    std::vector<std::string> header = {"wiring preset"};
    for (std::size_t row = 0; row < 4; ++row) header.push_back(signalName(wiring, row));
    std::string table = tableRow(header) + tableRow(std::vector<std::string>(header.size(), "---"));
    for (std::size_t preset : wiringPresets()) {
        const PresetFit fit = fitPreset(wiring, preset);
        if (!fit.problem.empty()) {
            unsuitable.push_back(std::string("\"") + wiringPresetNames[preset] + "\" (" + fit.problem + ")");
            continue;
        }
        std::vector<std::string> cells = {std::string("\"") + wiringPresetNames[preset] + "\""};
        for (int pin : fit.pins) cells.push_back(pinName(pin));
        table += tableRow(cells);
    }
    return table;
}

// What a cable of one's own may do: the signals that follow the settings take the lines the
// driver leaves free, in any order.
std::string ownCable(const ControllerWiring& wiring) {
    std::vector<std::string> fixed, free;
    std::vector<int> freePins(std::begin(wiringLinePins), std::end(wiringLinePins));
    for (std::size_t row = 0; row < 4; ++row) {
        const int pin = wiring.rows[row].fixedPin;
        if (pin == 0) {
            free.push_back(signalName(wiring, row));
            continue;
        }
        fixed.push_back(std::string(signalName(wiring, row)) + " on pin " + std::to_string(pin));
        std::erase(freePins, pin);
    }
    std::vector<std::string> pins;
    for (int pin : freePins) pins.push_back(std::to_string(pin));
    std::string text = "A cable of your own: ";
    if (!fixed.empty()) text += joined(fixed) + "; ";
    text += joined(free) + (free.size() > 1 ? " on any of" : " on one of") + " pins " + joined(pins);
    text += free.size() > 1 ? ", each on its own pin" : "";
    return text + "; set the four lists of the \"Wiring\" page to match.\n";
}

std::string controllerSection(const ControllerWiring& wiring) {
    std::string text = std::string("### ") + wiring.heading + "\n\n";
    std::vector<std::string> unsuitable;
    text += presetTable(wiring, unsuitable) + "\n";
    text += "D0 to D7 on pins 2 to 9 and GND on pins 18 to 25 with every preset.\n\n";
    for (std::size_t row = 0; row < 4; ++row)
        text += std::string("- ") + signalName(wiring, row) + ": " + wiring.rows[row].role + "\n";
    text += "\n";
    if (!unsuitable.empty())
        text += "Not for the " + std::string(findController(wiring.controller)->name) + ": " + joined(unsuitable) + ".\n\n";
    text += ownCable(wiring) + "\n";
    return text + wiring.notes + "\n\n";
}

std::string emptyPresets() {
    std::vector<std::string> names;
    for (std::size_t preset = 1; preset < wiringPresetLines.size(); ++preset)
        if (!carriesWiring(preset)) names.push_back(std::string("\"") + wiringPresetNames[preset] + "\"");
    if (names.empty()) return {};
    return "The list's " + joined(names) + (names.size() > 1 ? " carry" : " carries") +
           " no wiring: choosing it leaves the four lines as they are.\n\n";
}

} // namespace

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    return text;
}

std::string tableRow(const std::vector<std::string>& cells) {
    std::string row = "|";
    for (const std::string& cell : cells) row += " " + cell + " |";
    return row + "\n";
}

std::span<const ControllerWiring> controllerWirings() { return wirings; }

PresetFit fitPreset(const ControllerWiring& wiring, std::size_t preset) {
    PresetFit fit;
    for (std::size_t row = 0; row < 4; ++row) {
        const int named = presetPin(preset, row);
        const int fixed = wiring.rows[row].fixedPin;
        if (fixed != 0 && fixed != named && fit.problem.empty())
            fit.problem = std::string(signalName(wiring, row)) + " is always on pin " + std::to_string(fixed) +
                          ", the preset puts it on pin " + std::to_string(named);
        fit.pins[row] = fixed != 0 ? fixed : named;
    }
    return fit;
}

std::string wiringSection() {
    std::string text = std::string(sectionStart) + "\n\n";
    text += "The tables name the port's lines as the \"Wiring\" page does. A preset named after a board fits that "
            "board's cable. Any preset can be chosen with any controller: a controller's table shows where each "
            "signal goes with every preset that works for it, and names below the table those that cannot, with "
            "the reason.\n\n";
    text += emptyPresets();
    for (const ControllerWiring& wiring : wirings) text += controllerSection(wiring);
    return text + std::string(sectionEnd);
}

std::optional<std::string> withSection(std::string_view document, std::string_view start, std::string_view end,
                                       const std::string& section) {
    const std::size_t first = document.find(start);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t last = document.find(end, first);
    if (last == std::string_view::npos) return std::nullopt;
    std::string text(document.substr(0, first));
    text += section;
    text += document.substr(last + end.size());
    return text;
}

std::optional<std::string> withWiringSection(std::string_view document) {
    return withSection(document, sectionStart, sectionEnd, wiringSection());
}

std::optional<std::string> withGeneratedSections(std::string_view document) {
    const std::optional<std::string> wiring = withWiringSection(document);
    if (!wiring) return std::nullopt;
    return withSection(*wiring, piSectionStart, piSectionEnd, piHeaderSection());
}

} // namespace tessaranth::guide
