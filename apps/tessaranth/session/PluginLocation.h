// SPDX-License-Identifier: GPL-2.0-or-later
// Where the host finds what it comes with (its plug-in when no --plugin names one, the hardware
// guide): relative to the program's own file, first where an installation puts it (so an
// installed or unpacked package works in any root), then where the build tree has it.
#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace tessaranth::host {

// The first of the paths, each relative to the folder of the program, that names an existing
// file; the first of them when none does, so that the failure to load names where it was expected.
std::string fileBeside(const std::filesystem::path& program, std::span<const char* const> relativePaths);

// The same for the running program, found through /proc/self/exe.
std::string fileBesideThisProgram(std::span<const char* const> relativePaths);

} // namespace tessaranth::host
