// SPDX-License-Identifier: GPL-2.0-or-later
// A configuration folder of its own for the plug-in's file registry: while the object lives,
// XDG_CONFIG_HOME names a fresh temporary folder, so no test ever touches the user's settings.
#pragma once

#include <string>
#include <string_view>

namespace tessaranth::test {

class TemporaryConfigHome {
public:
    TemporaryConfigHome();
    ~TemporaryConfigHome();  // restores the previous XDG_CONFIG_HOME and removes the folder
    TemporaryConfigHome(const TemporaryConfigHome&) = delete;
    TemporaryConfigHome& operator=(const TemporaryConfigHome&) = delete;

    const std::string& path() const { return path_; }
    std::string registryPath() const { return path_ + "/tessaranth/registry.reg"; }

    void writeRegistry(std::string_view text) const;
    // The registry file's bytes; empty when there is none.
    std::string readRegistry() const;
    bool registryExists() const;

private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The registry file a save of the default record writes (made once per test program).
const std::string& defaultRegistryText();

} // namespace tessaranth::test
