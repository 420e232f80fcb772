// SPDX-License-Identifier: GPL-2.0-or-later
// A library shipped in the plug-in's own folder (the dialog's toolkit module), loaded on first
// use and kept for the rest of the process: a toolkit is not made to be unloaded.
#pragma once

#include <string>

namespace tessaranth::platform {

enum class CompanionStatus { loaded, missing, broken };

struct Companion {
    CompanionStatus status;
    void* entry;          // the named symbol, when loaded
    std::string problem;  // missing: the path looked at; broken: why it did not load
};

// Loads `file` from the folder of the plug-in (of the program, for a core linked into one) and
// finds `entry` in it.
Companion loadCompanion(const char* file, const char* entry);

} // namespace tessaranth::platform
