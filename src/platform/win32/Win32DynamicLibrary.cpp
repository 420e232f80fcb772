// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DynamicLibrary.h"

#include <windows.h>

namespace tessaranth::platform {

bool DynamicLibrary::open(const char* name) {
    close();
    handle_ = reinterpret_cast<void*>(LoadLibraryA(name));
    return handle_ != nullptr;
}

void* DynamicLibrary::symbol(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

bool DynamicLibrary::close() {
    const bool released = !handle_ || FreeLibrary(static_cast<HMODULE>(handle_)) != 0;
    handle_ = nullptr;
    return released;
}

} // namespace tessaranth::platform
