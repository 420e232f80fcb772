// SPDX-License-Identifier: GPL-2.0-or-later
// The visualisations, one entry each, in the order a frame draws them: whether the settings
// show it, a frame of it, what is left of it when playback stops, and what is left of it when
// the plug-in stops. The frame, the play status and the stop walk this list.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <span>

namespace tessaranth {

class Settings;

struct Visualisation {
    bool (*shown)(const Settings& settings);
    void (*render)(const VisModule* module);
    void (*blank)(const Settings& settings);
    void (*clear)();
};

std::span<const Visualisation> visualisations();

} // namespace tessaranth
