// The settings the plug-in will start with, read in the host the same way the plug-in reads
// them, so that the virtual display matches the configured controller, size and wiring.
// With a configuration file, the file's settings reach the plug-in through a registry of this
// run's own: $XDG_CONFIG_HOME points at a temporary folder that holds them; at the end it points
// where it did before and the folder is removed. The showcase, when nothing is stored, reaches
// the plug-in the same way, so the stored settings are never written. The plug-in is loaded
// after this object is made.
#pragma once

#include "emu/VirtualDisplay.h"

#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

enum class WhenNothingIsStored { pluginDefaults, showcase };

class StoredSettings {
public:
    // configurationFile empty: the stored settings, or what `empty` says when there are none.
    // Throws Failure when the file cannot be read or the private registry cannot be made.
    explicit StoredSettings(const std::string& configurationFile,
                            WhenNothingIsStored empty = WhenNothingIsStored::pluginDefaults);
    ~StoredSettings();
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;

    const emu::DisplaySetup& displaySetup() const { return setup_; }
    // The folder of this run's own registry, or empty.
    const std::string& privateConfigHome() const { return privateHome_; }
    // Nothing was stored, and the plug-in starts with the showcase.
    bool showcase() const { return showcase_; }
    // What the plug-in's reading of the settings would have told the user, in order.
    const std::vector<std::string>& messages() const { return messages_; }

private:
    void read(const std::string& configurationFile, WhenNothingIsStored empty);
    void loadFile(const std::string& path);
    void arrangeShowcase();
    void makePrivateHome();
    void handToPlugin();
    void takeSetup();

    emu::DisplaySetup setup_;
    std::string privateHome_;
    std::optional<std::string> userHome_;  // XDG_CONFIG_HOME before the private one, if it was set
    bool showcase_ = false;
    std::vector<std::string> messages_;
};

} // namespace tessaranth::host
