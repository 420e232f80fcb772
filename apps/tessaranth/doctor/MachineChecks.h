// SPDX-License-Identifier: GPL-2.0-or-later
// What the machine is, and on a Raspberry Pi what it gives a display at boot: the model the
// device tree names, the buses config.txt enables, and which of the groups that own the buses,
// the parallel port and the sound devices the user is in.
#pragma once

#include "doctor/BootConfig.h"
#include "doctor/Checks.h"

#include <vector>

namespace tessaranth::host {

// No finding on a machine without a device tree; the model alone on a board other than a Pi.
std::vector<Finding> checkMachine(const Machine& machine, const BootConfig* pi);

} // namespace tessaranth::host
