// SPDX-License-Identifier: GPL-2.0-or-later
// The modules of the tessaranth-dialog package, which draw with Qt: the program's window
// (views/WindowModule.h) and the plug-in's dialog (config/DialogModule.h). Each is loaded from
// its file and kept for the rest of the process, as Qt is not made to be unloaded. When one
// cannot be loaded, Failure says what to install or what to do instead.
#pragma once

#include "views/WindowModule.h"

#include <string>

namespace tessaranth::host {

// What to do without the dialog, or without a screen for it.
inline constexpr const char* setUpWithoutDialog =
    "use tessaranth config --set NAME=VALUE, --preset NAME and --show (see tessaranth config --help)";

const WindowModule& loadWindowModule(const std::string& path);

// The plug-in loads its dialog itself; the program loads it first only to say what is wrong
// when it cannot be.
void loadDialogModule(const std::string& path);

} // namespace tessaranth::host
