// SPDX-License-Identifier: GPL-2.0-or-later
// A visualisation plug-in loaded from its shared library, reached only through its C interface.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <string>

namespace tessaranth::host {

class PluginLibrary {
public:
    // Loads the library and finds module 0; throws Failure with the reason when it cannot.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const char* description() const { return header_->headerDescription; }
    VisModule& module() { return *module_; }
    // Installs the host's services (null removes them). A plug-in without the call keeps its own.
    void setHostServices(const TessaranthHostServices* services);

private:
    void* handle_;
    VisHeader* header_ = nullptr;
    VisModule* module_ = nullptr;
    TessaranthSetHostServicesFunction setServices_ = nullptr;
};

} // namespace tessaranth::host
