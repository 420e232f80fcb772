// SPDX-License-Identifier: GPL-2.0-or-later
// A configuration folder of the run's own, so that a registry made for one run never reaches
// the user's settings: while the object lives, XDG_CONFIG_HOME names it, and the registry file
// that the plug-in writes is inside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tessaranth::host {

class PrivateConfigHome {
public:
    // Makes a fresh folder in parent and points XDG_CONFIG_HOME at it. Throws Failure, with
    // XDG_CONFIG_HOME as it was and nothing written, when the folder cannot be made or the
    // plug-in's registry file would not be inside it.
    explicit PrivateConfigHome(const std::filesystem::path& parent);
    // Names the user's folder again, before this one goes, so that nothing that runs on (a sound
    // server's client library keeps its cookie there) makes it anew; then removes this one.
    ~PrivateConfigHome();
    PrivateConfigHome(const PrivateConfigHome&) = delete;
    PrivateConfigHome& operator=(const PrivateConfigHome&) = delete;

    const std::string& path() const { return path_; }
    // The registry file inside it that the plug-in writes.
    const std::string& registryFile() const { return registryFile_; }

    // XDG_CONFIG_HOME names the user's folder, or this one again.
    void nameUserFolder() const;
    void namePrivateFolder() const;

private:
    std::string path_;
    std::string registryFile_;
    std::optional<std::string> userHome_;  // XDG_CONFIG_HOME before, if it was set
};

} // namespace tessaranth::host
