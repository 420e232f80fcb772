// SPDX-License-Identifier: GPL-2.0-or-later
// The display of one run as the command line gives it (--controller, --size, --bus): read from
// the options, checked against the controller table and the bus settings' own limits, and laid
// over the stored settings for the run alone, or, with --save, stored.
#pragma once

#include "settings/BusFields.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth {
class Settings;
struct ControllerRow;
}

namespace tessaranth::host {

enum class BusForm { i2c, spi, gpio, lpt };

// One bus setting that the --bus option names, with its value (a number or a text).
struct BusAssignment {
    const BusField* field = nullptr;
    int64_t number = 0;
    std::string text;
};

struct DisplayOverrides {
    std::optional<uint8_t> controller;  // a `controller` value
    std::optional<uint16_t> width, height;
    std::optional<BusForm> busKind;  // the form of --bus
    std::vector<BusAssignment> bus;
    std::optional<uint16_t> lptAddress;
    bool save = false;  // store them, rather than use them for this run alone

    bool any() const { return controller || width || busKind; }
};

// The option parsers; each throws UsageError with one line on anything it does not take.
uint8_t controllerNamed(const std::string& name);
void setSize(DisplayOverrides& overrides, const std::string& text);
void setBus(DisplayOverrides& overrides, const std::string& text);

// The names --controller takes, for the help: "t6963c, sed1330, ...".
std::string controllerNameList();

// The sizes the controller serves, for messages: "128x64, 128x32".
std::string servedSizes(const ControllerRow& row);

// Lays the overrides over settings. A size the controller does not serve, or a bus it is not
// driven over, throws UsageError naming what would do. A new controller that does not serve the
// stored size gets the first size it serves.
void applyOverrides(Settings& settings, const DisplayOverrides& overrides);

} // namespace tessaranth::host
