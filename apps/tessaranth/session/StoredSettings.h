// SPDX-License-Identifier: GPL-2.0-or-later
// The settings the plug-in will start with, read in the host the same way the plug-in reads
// them, so that the virtual display matches the configured controller, size and wiring.
// With a configuration file, the file's settings reach the plug-in through a registry of this
// run's own (PrivateConfigHome), which goes with the run. The showcase, when nothing is stored,
// reaches the plug-in the same way, and so does the display the command line gives for the run
// (--controller, --size, --bus), so the stored settings are never written by accident; a
// "Save settings" of the dialog in such a run is passed on to where the person meant it to go.
// The plug-in is loaded after this object is made.
#pragma once

#include "session/DisplayOverrides.h"
#include "session/PrivateConfigHome.h"
#include "session/Showcase.h"

#include "controllers/DriverOptions.h"
#include "emu/VirtualDisplay.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tessaranth::host {

enum class WhenNothingIsStored { pluginDefaults, showcase };

class StoredSettings {
public:
    // configurationFile empty: the stored settings, or what `empty` says when there are none;
    // the showcase is arranged for `showcase`'s display, or for the one the overrides name.
    // overrides: laid over the settings for this run, or with their `save`, first stored into
    // the file or as the user's settings. Throws Failure when the file cannot be read or the
    // private registry cannot be made, UsageError when the overrides do not suit the controller.
    explicit StoredSettings(const std::string& configurationFile,
                            WhenNothingIsStored empty = WhenNothingIsStored::pluginDefaults,
                            ShowcaseDisplay showcase = {}, const DisplayOverrides& overrides = {});
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;

    const emu::DisplaySetup& displaySetup() const { return setup_; }
    // Where the display's bus is, as the plug-in's driverSetup() gives it.
    const BusSetup& busSetup() const { return bus_; }
    // The folder of this run's own registry, or empty.
    std::string privateConfigHome() const { return private_ ? private_->path() : std::string(); }
    // Nothing was stored, and the plug-in starts with the showcase.
    bool showcase() const { return showcase_; }
    // What the plug-in's reading of the settings would have told the user, in order.
    const std::vector<std::string>& messages() const { return messages_; }
    // What --save stored and where, or empty.
    const std::string& saved() const { return saved_; }

    // Call when the configuration dialog has closed. When its "Save settings" stored the
    // settings in this run's own registry, stores them where they were meant to go: into the
    // configuration file, or, in the showcase, into the user's own settings. Returns what to
    // tell the user, empty when nothing was saved.
    std::string passOnSave();

private:
    // A file as it stands: a save replaces it with a new one.
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long seconds = 0, nanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const std::string& path);

    void read(WhenNothingIsStored empty, const DisplayOverrides& overrides);
    std::string saveOverrides(const DisplayOverrides& overrides);
    void showcaseFor(const DisplayOverrides& overrides);
    void loadFile();
    void arrangeShowcase();
    void makePrivateHome();
    void handToPlugin();
    void takeSetup();
    void takeBusSetup(const BusSetup& bus);
    std::string saveIntoFile();
    std::string saveAsTheUsers();

    std::string configurationFile_;
    ShowcaseDisplay showcaseDisplay_;
    emu::DisplaySetup setup_;
    BusSetup bus_;
    std::unique_ptr<PrivateConfigHome> private_;
    FileStamp handed_;  // the private registry as the plug-in last saved it, or as it was handed over
    bool showcase_ = false;
    std::vector<std::string> messages_;
    std::string saved_;
};

} // namespace tessaranth::host
