// Loads the window module (views/WindowModule.h) from its file and keeps it for the rest of the
// process: Qt is not made to be unloaded.
#pragma once

#include "views/WindowModule.h"

#include <string>

namespace tessaranth::host {

// Throws Failure with the reason and what to do when the module cannot be loaded.
const WindowModule& loadWindowModule(const std::string& path);

} // namespace tessaranth::host
