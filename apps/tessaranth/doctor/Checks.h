// SPDX-License-Identifier: GPL-2.0-or-later
// The doctor's checks, each of one thing the display or the player needs, each saying what it
// found and, when something is missing, how to put it right.
#pragma once

#include "doctor/Machine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::host {

// ok: in order. warning: worth fixing, but the display can be driven. problem: the display
// cannot be driven until it is fixed.
enum class Verdict { ok, warning, problem };

struct Finding {
    Verdict verdict;
    std::string topic;
    std::string text;
    std::string advice;  // empty: nothing to do
};

// Whether the user may read and write a device file that is there: when not, how to get it by
// its group (join it, or log in again when the group file lists the user already), or for a
// file of the group root, `rootOnly` (empty: by its group all the same).
Finding deviceAccess(const Machine& machine, const std::string& topic, const std::string& device, const FileFacts& file,
                     const std::string& rootOnly);

// How to give all device files of a bus (matched by the udev rule's `udevMatch`) to `group`
// and join it.
std::string busGroupAdvice(const char* group, const char* udevMatch);

// The parallel port at `base` the way the plug-in reaches it: its ppdev device (the modules,
// the device file, read and write access), else direct port access.
std::vector<Finding> checkParallelPort(const Machine& machine, uint16_t base);

// The USB2LCD: a device library the plug-in can load, an FTDI device, access to it.
std::vector<Finding> checkUsbAdapter(const Machine& machine);

// Whether an MPD answers (host empty, port 0: libmpdclient's defaults). Never a problem: only
// `tessaranth mpd` needs one.
Finding checkMpd(const std::string& host, uint32_t port);

// Which MPRIS players are on the session bus (busAddress empty) or on the bus at busAddress.
// Never a problem: only `tessaranth mpris` needs one.
Finding checkMpris(const std::string& busAddress);

// The display can be driven when none of its findings is a problem.
bool noProblem(const std::vector<Finding>& findings);

} // namespace tessaranth::host
