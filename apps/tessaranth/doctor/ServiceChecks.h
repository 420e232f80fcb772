// SPDX-License-Identifier: GPL-2.0-or-later
// What the display's service has around it: where the visualisations get the music (MPD's
// fifo output, else the user's sound server), and what the running service costs in CPU.
// Neither is ever a problem: they decide how well the display works, not whether.
#pragma once

#include "doctor/Checks.h"

#include <vector>

namespace tessaranth::host {

// The fifo output in MPD's configuration (the user's ~/.config/mpd/mpd.conf, else
// /etc/mpd.conf), its FIFO and the user's access to it; without one, the sound server's socket
// in the user's runtime folder.
Finding checkSound(const Machine& machine);

// Every running tessaranth but the doctor and the dialog, with the share of a CPU it has used
// on average since it started, read from /proc.
std::vector<Finding> checkService(const Machine& machine);

} // namespace tessaranth::host
