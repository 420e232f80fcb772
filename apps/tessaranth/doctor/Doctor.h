// SPDX-License-Identifier: GPL-2.0-or-later
// `tessaranth doctor`: looks at what the configured display needs on this machine (the settings,
// the display's bus, and on a Raspberry Pi its model, config.txt and the user's groups), at the
// players (MPD, MPRIS), where the music for the visualisations comes from and what a running
// service costs, and says what is missing and how to put it right. Its exit status is 0 only
// when the configured display can be driven.
#pragma once

#include "doctor/BootConfig.h"
#include "doctor/BusChecks.h"
#include "doctor/Checks.h"
#include "doctor/Machine.h"

#include "emu/VirtualDisplay.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

struct DoctorOptions {
    std::string settingsFile;  // empty: the stored settings
    std::string mpdHost;       // empty, 0: libmpdclient's defaults
    uint32_t mpdPort = 0;
    std::string busAddress;     // empty: the session bus
    std::string hardwareGuide;  // named in the report's last line; empty: not named
};

// The display the settings describe, and the bus its controller is on.
struct ConfiguredDisplay {
    emu::DisplaySetup setup;
    Bus bus;
};

class Doctor {
public:
    // Runs every check.
    Doctor(const Machine& machine, const DoctorOptions& options);

    const std::vector<Finding>& findings() const { return findings_; }
    bool displayCanBeDriven() const { return drivable_; }
    int exitStatus() const { return drivable_ ? 0 : 1; }
    // One finding a line with its advice below, then the verdict.
    void report(std::FILE* out) const;

private:
    std::optional<ConfiguredDisplay> readSettings(const std::string& settingsFile);
    // The display, the machine, and what the display's bus needs.
    void checkDisplay(const Machine& machine, const ConfiguredDisplay& display, const BootConfig* pi);
    void add(std::vector<Finding> findings);

    std::vector<Finding> findings_;
    std::string display_;  // "T6963C 240x128 on the parallel port at 0x378", "SSD1306 128x64 at 0x3C on /dev/i2c-1"
    std::string guide_;
    bool drivable_ = false;
};

} // namespace tessaranth::host
