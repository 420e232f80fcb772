// SPDX-License-Identifier: GPL-2.0-or-later
// Presets for a display on a board's header rather than the parallel port: each puts the bus
// values of one way of wiring to the lines a display takes on the header by default.
#pragma once

#include "settings/BusSettings.h"

#include <span>

namespace tessaranth::host {

struct BoardPreset {
    const char* name;
    void (*apply)(BusSettings& bus);
};

std::span<const BoardPreset> boardPresets();

} // namespace tessaranth::host
