// SPDX-License-Identifier: GPL-2.0-or-later
// Only in the shared library: loading it creates the global objects and runs the entry routine.
#include "host/PluginEntry.h"
#include "host/PluginLifetime.h"

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    tessaranth::runEntryRoutine();
    return TRUE;
}
#endif

namespace {

struct LibraryLifetime {
    LibraryLifetime() {
        tessaranth::loadPlugin();
#if !defined(_WIN32)
        tessaranth::runEntryRoutine();
#endif
    }
    ~LibraryLifetime() { tessaranth::unloadPlugin(); }
};

LibraryLifetime lifetime;

} // namespace
