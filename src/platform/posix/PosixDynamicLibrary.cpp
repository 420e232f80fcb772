// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace tessaranth::platform {

bool DynamicLibrary::open(const char* name) {
    close();
    handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void* DynamicLibrary::symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

bool DynamicLibrary::close() {
    const bool released = !handle_ || dlclose(handle_) == 0;
    handle_ = nullptr;
    return released;
}

} // namespace tessaranth::platform
