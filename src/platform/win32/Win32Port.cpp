// SPDX-License-Identifier: GPL-2.0-or-later
// Windows: the port driver library DlPortIO, else inpout32, both loaded at the first access.
// Without either, one warning, then accesses go nowhere.
#include "platform/DynamicLibrary.h"
#include "platform/Platform.h"

#include <windows.h>

namespace tessaranth::platform::native {

namespace {

class Win32Port {
public:
    void write(uint16_t port, uint16_t value) {
        load();
        if (dlWrite_)
            dlWrite_(port, value);
        else if (out32_)
            out32_(static_cast<short>(port), static_cast<short>(value));
    }

    uint16_t read(uint16_t port) {
        load();
        if (dlRead_) return dlRead_(port);
        if (in32_) return static_cast<uint16_t>(in32_(static_cast<short>(port)));
        return 0;
    }

private:
    using DlWrite = void(__stdcall*)(ULONG port, USHORT value);
    using DlRead = USHORT(__stdcall*)(ULONG port);
    using Out32 = void(__stdcall*)(short port, short value);
    using Inp32 = short(__stdcall*)(short port);

    void load() {
        if (tried_) return;
        tried_ = true;
        if (dlportio_.open("DlPortIO.dll")) {
            dlWrite_ = dlportio_.function<DlWrite>("DlPortWritePortUshort");
            dlRead_ = dlportio_.function<DlRead>("DlPortReadPortUshort");
            if (dlWrite_ && dlRead_) return;
            dlWrite_ = nullptr;
            dlRead_ = nullptr;
        }
        if (inpout_.open("inpout32.dll")) {
            out32_ = inpout_.function<Out32>("Out32");
            in32_ = inpout_.function<Inp32>("Inp32");
            if (out32_ && in32_) return;
            out32_ = nullptr;
            in32_ = nullptr;
        }
        messageBox("The parallel port cannot be reached: neither DlPortIO.dll nor inpout32.dll could be loaded. "
                   "Install the DlPortIO port driver (or inpout32) and start the player again. The display stays "
                   "dark until then.",
                   "Tessaranth", mbIconWarning);
    }

    bool tried_ = false;
    DynamicLibrary dlportio_;
    DynamicLibrary inpout_;
    DlWrite dlWrite_ = nullptr;
    DlRead dlRead_ = nullptr;
    Out32 out32_ = nullptr;
    Inp32 in32_ = nullptr;
};

Win32Port& machinePort() {
    static Win32Port port;
    return port;
}

} // namespace

void writePort(uint16_t port, uint16_t value) { machinePort().write(port, value); }
uint16_t readPort(uint16_t port) { return machinePort().read(port); }

} // namespace tessaranth::platform::native
