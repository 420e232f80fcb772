// SPDX-License-Identifier: GPL-2.0-or-later
// What a Raspberry Pi's firmware reads at boot from config.txt: the parameters of the base
// device tree (dtparam=) and the overlays (dtoverlay=) that apply to this model, taking the
// conditional sections ([pi4], [pi5], [all], [none], ...) and included files into account. A
// later line overrides an earlier one. Conditions other than the model (a display, a GPIO level,
// a serial number) are taken to hold: the doctor cannot judge them. Included files are read
// from the folder of config.txt.
#pragma once

#include "doctor/Machine.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

class BootConfig {
public:
    // The Pi's settings: /boot/firmware/config.txt, else /boot/config.txt of the systems before
    // Bookworm. None on a machine that the device tree does not call a Raspberry Pi.
    static std::optional<BootConfig> read(const Machine& machine);

    const std::string& model() const { return model_; }
    // The file read; empty when the Pi has neither.
    const std::string& path() const { return path_; }
    // Where a line to add belongs: the file read, else where today's systems have it.
    std::string pathToEdit() const;
    // The parameter's value; empty when no line sets it. A parameter without a value is on.
    std::string parameter(const std::string& name) const;
    // Any of the parameters is set to on (on, true, yes, okay, y, 1).
    bool enabled(const std::vector<std::string>& names) const;
    // An overlay whose name begins with `start` is loaded.
    bool hasOverlay(const std::string& start) const;

private:
    explicit BootConfig(std::string model);
    void readFile(const Machine& machine, const std::string& path, int depth);
    void readLine(const Machine& machine, const std::string& line, int depth);
    void section(const std::string& filter);

    std::string model_;
    std::vector<std::string> filters_;  // the model filters that hold for this Pi
    std::string path_;
    bool applies_ = true;  // the current section applies
    std::map<std::string, std::string> parameters_;
    std::vector<std::string> overlays_;
};

} // namespace tessaranth::host
