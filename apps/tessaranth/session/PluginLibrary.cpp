// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/PluginLibrary.h"

#include "Errors.h"

#include <dlfcn.h>

namespace tessaranth::host {

PluginLibrary::PluginLibrary(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) throw Failure("cannot load the plug-in: " + std::string(dlerror()));
    auto getHeader = reinterpret_cast<WinampVisGetHeaderFunction>(dlsym(handle_, "winampVisGetHeader"));
    setServices_ = reinterpret_cast<TessaranthSetHostServicesFunction>(dlsym(handle_, "tessaranthSetHostServices"));
    header_ = getHeader ? getHeader() : nullptr;
    module_ = header_ && header_->lookupModule ? header_->lookupModule(0) : nullptr;
    if (!module_ || !module_->initCallback || !module_->renderCallback || !module_->quitCallback) {
        dlclose(handle_);
        throw Failure(path + " is not a visualisation plug-in (no winampVisGetHeader or no module 0)");
    }
}

PluginLibrary::~PluginLibrary() {
    setHostServices(nullptr);
    dlclose(handle_);
}

void PluginLibrary::setHostServices(const TessaranthHostServices* services) {
    if (setServices_) setServices_(services);
}

} // namespace tessaranth::host
