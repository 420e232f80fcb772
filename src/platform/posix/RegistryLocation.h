// SPDX-License-Identifier: GPL-2.0-or-later
// Where the Linux registry keeps its one key: $XDG_CONFIG_HOME/tessaranth/registry.reg, or
// ~/.config/tessaranth/registry.reg when the variable is unset or not an absolute path.
#pragma once

#include <string>

namespace tessaranth::platform {

// Read afresh from the environment at every call; empty when there is no home folder either.
std::string registryFileLocation();

} // namespace tessaranth::platform
