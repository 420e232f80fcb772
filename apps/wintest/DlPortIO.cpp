// SPDX-License-Identifier: GPL-2.0-or-later
// A stand-in for the port driver library that records every access to the file named by
// TESSARANTH_PORT_LOG: "W <port> <value>" or "R <port>", in hex, one per line. Reads answer 0.
// The test host may add notes: "# <text>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

FILE* log() {
    static FILE* file = [] {
        const char* path = std::getenv("TESSARANTH_PORT_LOG");
        return path ? std::fopen(path, "w") : nullptr;
    }();
    return file;
}

} // namespace

extern "C" {

__declspec(dllexport) void __stdcall DlPortWritePortUshort(ULONG port, USHORT value) {
    if (FILE* f = log()) std::fprintf(f, "W %04lX %04X\n", port, value);
}

__declspec(dllexport) USHORT __stdcall DlPortReadPortUshort(ULONG port) {
    if (FILE* f = log()) std::fprintf(f, "R %04lX\n", port);
    return 0;
}

// For the test host: a line "# <text>" that marks a moment in the log (for example Quit).
__declspec(dllexport) void __stdcall RecordingPortNote(const char* text) {
    if (FILE* f = log()) std::fprintf(f, "# %s\n", text);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH && log()) std::fclose(log());
    return TRUE;
}

} // extern "C"
