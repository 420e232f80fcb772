// SPDX-License-Identifier: GPL-2.0-or-later
// The GPIO lines a display uses: each chip's device file (named by path, name, number or label)
// and the user's access to it, every line on its chip and free, the lines the display needs
// set, and no line set for two signals.
#pragma once

#include "doctor/BusChecks.h"

#include <vector>

namespace tessaranth::host {

std::vector<Finding> checkGpioLines(const Machine& machine, const std::vector<BusLine>& lines);

} // namespace tessaranth::host
