// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/StoredSettings.h"

#include "Errors.h"
#include "session/HostCopy.h"

#include "controllers/DriverOptions.h"
#include "globals/Globals.h"
#include "platform/posix/RegistryLocation.h"
#include "settings/RegistryAccess.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaranth::host {

namespace {

constexpr const char* showcasePictureName = "showcase.bmp";

// Whether the registry holds settings at all: a stored record always carries its version.
bool somethingStored(const Settings& settings) {
    char version[128];
    uint32_t size = sizeof version;
    return RegistryAccess().readString(settings.rootKey(), settings.keyPath(), "Version", version, size) ==
           RegistryRead::ok;
}

// The private registry lasts for the run alone: in the session's runtime folder, a file system
// in memory, where a save costs nothing, else in the temporary folder. Always an absolute path:
// the registry takes no other.
std::filesystem::path privateHomeParent() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    if (runtime && runtime[0] == '/' && std::filesystem::is_directory(runtime, error) && access(runtime, W_OK | X_OK) == 0)
        return runtime;
    return std::filesystem::absolute(std::filesystem::temp_directory_path());
}

// The showcase's picture at path, in a folder made for it if need be.
bool writePicture(const std::filesystem::path& path, ShowcaseDisplay display) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return !error && writeShowcasePicture(path.string(), display);
}

} // namespace

StoredSettings::StoredSettings(const std::string& configurationFile, WhenNothingIsStored empty, ShowcaseDisplay showcase,
                               const DisplayOverrides& overrides)
    : configurationFile_(configurationFile), showcaseDisplay_(showcase) {
    if (overrides.save) {
        std::vector<std::string> quiet;  // what reading the settings to save into says, the run says again
        onHostCopy(quiet, [&] { saved_ = saveOverrides(overrides); });
    }
    onHostCopy(messages_, [&] { read(empty, overrides.save ? DisplayOverrides{} : overrides); });
}

// Settings of the run's own (a file, the showcase, or the command line's display) reach the
// plug-in through the private registry.
void StoredSettings::read(WhenNothingIsStored empty, const DisplayOverrides& overrides) {
    bool ownSettings = !configurationFile_.empty();
    if (configurationFile_.empty()) {
        if (!gSettings->loadFromRegistry() && empty == WhenNothingIsStored::showcase && !somethingStored(*gSettings)) {
            showcaseFor(overrides);
            arrangeShowcase();
            ownSettings = true;
        }
    } else {
        loadFile();
    }
    applyOverrides(*gSettings, overrides);
    if (ownSettings || overrides.any()) handToPlugin();
    takeSetup();
}

// The showcase suits the display the command line names (a controller, a size, or both, over
// the showcase's own display).
void StoredSettings::showcaseFor(const DisplayOverrides& overrides) {
    if (!overrides.controller && !overrides.width) return;
    gSettings->setController(showcaseDisplay_.controller);
    gSettings->setDisplayFormat(showcaseDisplay_.displayFormat);
    applyOverrides(*gSettings, overrides);
    showcaseDisplay_ = {gSettings->controller(), gSettings->displayFormat()};
}

// Stores exactly what the command line names over the settings as they are stored (the
// plug-in's defaults when nothing is).
std::string StoredSettings::saveOverrides(const DisplayOverrides& overrides) {
    if (!configurationFile_.empty()) {
        loadFile();
        applyOverrides(*gSettings, overrides);
        if (!withSettingsFile(configurationFile_, &Settings::saveToFile))
            throw Failure("--save could not store the display's settings in " + configurationFile_);
        return "--save stored the display's settings in " + configurationFile_;
    }
    gSettings->loadFromRegistry();
    applyOverrides(*gSettings, overrides);
    const std::string registry = platform::registryFileLocation();
    if (!gSettings->saveToRegistry()) throw Failure("--save could not store the display's settings in " + registry);
    return "--save stored the display's settings as your own, in " + registry;
}

void StoredSettings::loadFile() {
    if (!std::filesystem::is_regular_file(configurationFile_) || !withSettingsFile(configurationFile_, &Settings::loadFromFile))
        throw Failure("cannot read the configuration file " + configurationFile_);
}

// The picture goes beside the private registry; without it the plug-in reports the missing
// picture and runs the showcase on a blank background.
void StoredSettings::arrangeShowcase() {
    makePrivateHome();
    const std::string picture = private_->path() + "/" + showcasePictureName;
    host::arrangeShowcase(*gSettings, writeShowcasePicture(picture, showcaseDisplay_) ? picture : std::string(),
                          showcaseDisplay_);
    showcase_ = true;
}

void StoredSettings::makePrivateHome() { private_ = std::make_unique<PrivateConfigHome>(privateHomeParent()); }

void StoredSettings::handToPlugin() {
    if (!private_) makePrivateHome();
    if (!gSettings->saveToRegistry())
        throw Failure(withMessages("cannot store this run's settings in " + private_->registryFile(), messages_));
    handed_ = stampOf(private_->registryFile());
}

void StoredSettings::takeSetup() {
    const Settings& s = *gSettings;
    setup_.controller = s.controller();
    setup_.displayFormat = s.displayFormat();
    setup_.wiringCS = s.wiringCS();
    setup_.wiringA0 = s.wiringA0();
    setup_.wiringWR = s.wiringWR();
    setup_.wiringRD = s.wiringRD();
    setup_.lptAddress = s.lptAddress();
    takeBusSetup(driverSetup(s).bus);
}

void StoredSettings::takeBusSetup(const BusSetup& bus) {
    bus_ = bus;
    setup_.i2cAddress = bus.i2cAddress;
    setup_.sh1106FirstColumn = bus.sh1106ColumnOffset;
    setup_.parallelOnGpio = bus.parallelOnGpio;
    std::copy(std::begin(bus.dataLines), std::end(bus.dataLines), setup_.dataLines.begin());
    std::copy(std::begin(bus.controlLines), std::end(bus.controlLines), setup_.controlLines.begin());
}

StoredSettings::FileStamp StoredSettings::stampOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {};
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

// Every save of the plug-in replaces the registry file with a new one.
std::string StoredSettings::passOnSave() {
    if (!private_) return {};
    const FileStamp stamp = stampOf(private_->registryFile());
    if (stamp == handed_) return {};
    handed_ = stamp;
    std::vector<std::string> messages;
    std::string told;
    onHostCopy(messages, [&] {
        if (!gSettings->loadFromRegistry())
            told = "the settings that \"Save settings\" stored for this run cannot be read back";
        else
            told = configurationFile_.empty() ? saveAsTheUsers() : saveIntoFile();
    });
    return withMessages(told, messages);
}

std::string StoredSettings::saveIntoFile() {
    const bool saved = withSettingsFile(configurationFile_, &Settings::saveToFile);
    return (saved ? "\"Save settings\" saved the settings into " : "\"Save settings\" could not save the settings into ") +
           configurationFile_;
}

// The showcase's picture goes with its settings, beside the user's registry: the private one
// goes with the run.
std::string StoredSettings::saveAsTheUsers() {
    private_->nameUserFolder();
    const std::string registry = platform::registryFileLocation();
    const std::filesystem::path picture = std::filesystem::path(registry).parent_path() / showcasePictureName;
    if (gSettings->background() == private_->path() + "/" + showcasePictureName &&
        picture.string().size() < sizeof(SettingsImage::background) && writePicture(picture, showcaseDisplay_))
        gSettings->setBackground(picture.c_str());
    const bool saved = gSettings->saveToRegistry();
    private_->namePrivateFolder();
    const std::string run = showcase_ ? " in the showcase" : "";
    return (saved ? "\"Save settings\"" + run + " saved its settings as your own, in "
                  : "\"Save settings\"" + run + " could not save its settings as your own, in ") +
           registry;
}

} // namespace tessaranth::host
