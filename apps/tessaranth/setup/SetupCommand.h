// SPDX-License-Identifier: GPL-2.0-or-later
// Set-up without a screen: tessaranth config --show, --set NAME=VALUE ... and --preset NAME read
// and write the stored settings (or a configuration file) with the plug-in's own code, by the
// names the registry gives them and within the dialog's limits.
#pragma once

#include "CommandLine.h"

#include <cstdio>

namespace tessaranth::host {

// Whether the options ask for set-up without the dialog.
bool setsUpWithoutDialog(const Options& options);

// Applies the preset and the assignments and stores them all with one save, or, on the first
// name or value that is not allowed, throws Failure and stores nothing; then, with --show, prints
// every setting as NAME=VALUE to out. Returns the exit status.
int setUp(const Options& options, std::FILE* out);

} // namespace tessaranth::host
