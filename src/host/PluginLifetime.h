// SPDX-License-Identifier: GPL-2.0-or-later
// What loading and unloading the plug-in does to the global objects (globals/Globals.h).
#pragma once

namespace tessaranth {

// What loading the library does: create the plug-in object, then the layout, analyzer,
// settings and model engine objects, in that order. Tests call it to start from a freshly
// loaded plug-in.
void loadPlugin();
// What unloading the library does: release every object that still exists.
void unloadPlugin();
// Creates again the objects that Quit released, for an Init after Quit.
void recreateDisplayObjects();
// Releases what Quit releases: the layout, the driver, the analyzer and the model engine.
void releaseDisplayObjects();

} // namespace tessaranth
