// SPDX-License-Identifier: GPL-2.0-or-later
// The wiring tables of the hardware guide (docs/hardware.md): for each controller on the parallel
// port, which port pin each of its signals goes to under every wiring preset of the dialog. The
// presets, pins and signal names come from the dialog's own tables (config/WiringTable.h); what
// each driver does with a line, and which lines it keeps to itself, is described here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth::guide {

// What a driver does with the signal that the dialog shows on one of its four wiring rows.
struct SignalUse {
    int fixedPin;      // 0: the line its wiring setting names; otherwise the pin the driver always uses
    const char* role;  // what the signal carries, as the driver drives it
};

struct ControllerWiring {
    const char* heading;
    uint8_t controller;              // the controller setting: the dialog's names for the signals
    std::array<SignalUse, 4> rows;   // the rows of wiringCS, wiringA0, wiringWR, wiringRD
    const char* notes;               // the module's connections beyond the four lines
};

std::span<const ControllerWiring> controllerWirings();

// The port pins of the four signals under a wiring preset, or why the preset does not suit the
// controller (problem not empty): it puts a signal elsewhere than the pin the driver keeps it on.
struct PresetFit {
    std::array<int, 4> pins{};
    std::string problem;
};
PresetFit fitPreset(const ControllerWiring& wiring, std::size_t preset);

// The generated part of the guide, from the start marker to the end marker inclusive.
std::string wiringSection();

// The document with the part between `start` and `end` (inclusive) replaced by `section`;
// nullopt when it lacks either marker.
std::optional<std::string> withSection(std::string_view document, std::string_view start, std::string_view end,
                                       const std::string& section);
// The document with its wiring tables written anew; nullopt when it lacks either marker.
std::optional<std::string> withWiringSection(std::string_view document);
// The document with every generated part written anew: the wiring tables and the Raspberry Pi's
// header (PiHeaderGuide.h); nullopt when it lacks a marker.
std::optional<std::string> withGeneratedSections(std::string_view document);

// "a, b and c"
std::string joined(const std::vector<std::string>& parts);
// A row of a Markdown table.
std::string tableRow(const std::vector<std::string>& cells);

inline constexpr std::string_view sectionStart =
    "<!-- wiring tables: written by `make hardware-guide` from the dialog's tables; do not edit -->";
inline constexpr std::string_view sectionEnd = "<!-- end of the wiring tables -->";

} // namespace tessaranth::guide
