// SPDX-License-Identifier: GPL-2.0-or-later
// Writes every port access and USB write the plug-in makes to a text file, one per line, in hex
// ("W <port> <value>", "R <port>", "U <bytes>"), and passes each on to the services behind it.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdio>
#include <string>

namespace tessaranth::host {

class PortTrace {
public:
    // Opens (truncates) the file; check isOpen(). inner: the services that do the work.
    PortTrace(const std::string& path, const TessaranthHostServices& inner);
    ~PortTrace();
    PortTrace(const PortTrace&) = delete;
    PortTrace& operator=(const PortTrace&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The services to install in the plug-in: the inner ones with every access written down.
    const TessaranthHostServices& services() const { return services_; }

private:
    static PortTrace& self(void* context) { return *static_cast<PortTrace*>(context); }

    std::FILE* file_;
    TessaranthHostServices inner_;
    TessaranthHostServices services_;
};

} // namespace tessaranth::host
