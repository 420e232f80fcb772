// SPDX-License-Identifier: GPL-2.0-or-later
// Where the plug-in's port accesses and USB writes go: an emulated display, nowhere, or the
// plug-in's own hardware access.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <string>

namespace tessaranth::host {

class DisplayTarget {
public:
    virtual ~DisplayTarget() = default;
    // The services to install in the plug-in; null keeps the plug-in's own.
    virtual const TessaranthHostServices* services() const = 0;
    // Called after every frame.
    virtual void frameDone() {}
    // Words for the start-up line, e.g. "no display".
    virtual std::string description() const = 0;
};

// Takes every port access, USB write, I2C message, SPI transfer and GPIO line change and does
// nothing with them: no display at all, not even the machine's own buses.
class NullDisplay : public DisplayTarget {
public:
    NullDisplay();
    const TessaranthHostServices* services() const override { return &services_; }
    std::string description() const override { return "no display"; }

private:
    TessaranthHostServices services_{};
};

// Leaves the port and the USB adapter to the plug-in.
class HardwareDisplay : public DisplayTarget {
public:
    const TessaranthHostServices* services() const override { return nullptr; }
    std::string description() const override { return "the display on the plug-in's configured port"; }
};

} // namespace tessaranth::host
