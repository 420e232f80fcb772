// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/PrivateConfigHome.h"

#include "Errors.h"

#include "platform/posix/RegistryLocation.h"

#include <cstdlib>
#include <string_view>

namespace tessaranth::host {

namespace {

bool inside(std::string_view file, const std::string& folder) {
    return file.size() > folder.size() + 1 && file.starts_with(folder) && file[folder.size()] == '/';
}

} // namespace

PrivateConfigHome::PrivateConfigHome(const std::filesystem::path& parent) {
    std::string folder = (parent / "tessaranth-settings-XXXXXX").string();
    if (!mkdtemp(folder.data())) throw Failure("cannot make a private folder for the settings in " + parent.string());
    path_ = folder;
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) userHome_ = home;
    namePrivateFolder();
    registryFile_ = platform::registryFileLocation();
    if (inside(registryFile_, path_)) return;
    nameUserFolder();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    throw Failure("the settings of this run would not stay private: the plug-in would write them to '" + registryFile_ +
                  "', not into the private folder '" + path_ + "'; nothing was written");
}

PrivateConfigHome::~PrivateConfigHome() {
    nameUserFolder();
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void PrivateConfigHome::nameUserFolder() const {
    if (userHome_)
        setenv("XDG_CONFIG_HOME", userHome_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

void PrivateConfigHome::namePrivateFolder() const { setenv("XDG_CONFIG_HOME", path_.c_str(), 1); }

} // namespace tessaranth::host
