// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/Companion.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace tessaranth::platform {

namespace {

const char anchor = 0;  // an address inside the plug-in

std::string ownFolder() {
    Dl_info info{};
    if (!dladdr(&anchor, &info) || !info.dli_fname) return ".";
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

} // namespace

Companion loadCompanion(const char* file, const char* entry) {
    const std::string path = ownFolder() + "/" + file;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {CompanionStatus::missing, nullptr, path};
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* error = dlerror();
        return {CompanionStatus::broken, nullptr, error ? error : path};
    }
    void* symbol = dlsym(handle, entry);
    if (!symbol) return {CompanionStatus::broken, nullptr, path + " has no " + entry + " (another version?)"};
    return {CompanionStatus::loaded, symbol, path};
}

} // namespace tessaranth::platform
