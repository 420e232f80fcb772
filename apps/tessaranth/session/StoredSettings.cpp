#include "session/StoredSettings.h"

#include "Errors.h"
#include "session/Showcase.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"
#include "settings/RegistryAccess.h"
#include "settings/Settings.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace tessaranth::host {

namespace {

// The host's own reading of the settings shows nothing: the plug-in reports for itself when it
// starts. What it would have said is kept.
TessaranthHostServices quietServices(std::vector<std::string>& messages) {
    TessaranthHostServices services{};
    services.version = TESSARANTH_HOST_SERVICES_VERSION;
    services.context = &messages;
    services.messageBox = [](void* context, const char* text, const char*, uint32_t) -> int32_t {
        static_cast<std::vector<std::string>*>(context)->push_back(text ? text : "");
        return platform::idOk;
    };
    return services;
}

// Answers the file dialog of the settings' file load with the one file the user named.
bool answerWithFile(void* context, const platform::FileDialogRequest&, char* path, std::size_t size) {
    const auto* file = static_cast<const std::string*>(context);
    if (file->size() + 1 > size) return false;
    std::memcpy(path, file->c_str(), file->size() + 1);
    return true;
}

// Whether the registry holds settings at all: a stored record always carries its version.
bool somethingStored(const Settings& settings) {
    char version[128];
    uint32_t size = sizeof version;
    return RegistryAccess().readString(settings.rootKey(), settings.keyPath(), "Version", version, size) ==
           RegistryRead::ok;
}

// The private registry lasts for the run alone, and the plug-in syncs every value it saves to
// the medium: in the session's runtime folder, a file system in memory, that costs nothing,
// where on an SD card it costs seconds. Without one, the temporary folder serves.
std::filesystem::path privateHomeParent() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    if (runtime && runtime[0] == '/' && std::filesystem::is_directory(runtime, error) && access(runtime, W_OK | X_OK) == 0)
        return runtime;
    return std::filesystem::temp_directory_path();
}

} // namespace

// The host's copy of the settings lives only while they are read.
StoredSettings::StoredSettings(const std::string& configurationFile, WhenNothingIsStored empty) {
    const TessaranthHostServices quiet = quietServices(messages_);
    platform::setHostServices(&quiet);
    loadPlugin();
    try {
        read(configurationFile, empty);
    } catch (...) {
        unloadPlugin();
        platform::setHostServices(nullptr);
        throw;
    }
    unloadPlugin();
    platform::setHostServices(nullptr);
}

void StoredSettings::read(const std::string& configurationFile, WhenNothingIsStored empty) {
    if (configurationFile.empty()) {
        if (!gSettings->loadFromRegistry() && empty == WhenNothingIsStored::showcase && !somethingStored(*gSettings))
            arrangeShowcase();
    } else {
        loadFile(configurationFile);
        handToPlugin();
    }
    takeSetup();
}

// XDG_CONFIG_HOME names the user's folder again before the private one goes, so that nothing
// that runs on (a sound server's client library keeps its cookie there) makes it anew.
StoredSettings::~StoredSettings() {
    if (privateHome_.empty()) return;
    if (userHome_)
        setenv("XDG_CONFIG_HOME", userHome_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(privateHome_, ignored);
}

void StoredSettings::loadFile(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) throw Failure("cannot read the configuration file " + path);
    std::string file = path;
    platform::setFileDialogHandler(answerWithFile, &file);
    const bool loaded = gSettings->loadFromFile();
    platform::setFileDialogHandler(nullptr, nullptr);
    if (!loaded) throw Failure("cannot read the configuration file " + path);
}

// The picture goes beside the private registry; without it the plug-in reports the missing
// picture and runs the showcase on a blank background.
void StoredSettings::arrangeShowcase() {
    makePrivateHome();
    const std::string picture = privateHome_ + "/showcase.bmp";
    host::arrangeShowcase(*gSettings, writeShowcasePicture(picture) ? picture : std::string());
    handToPlugin();
    showcase_ = true;
}

void StoredSettings::makePrivateHome() {
    std::string folder = (privateHomeParent() / "tessaranth-settings-XXXXXX").string();
    if (!mkdtemp(folder.data())) throw Failure("cannot make a temporary folder for the settings");
    privateHome_ = folder;
}

void StoredSettings::handToPlugin() {
    if (privateHome_.empty()) makePrivateHome();
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) userHome_ = home;
    setenv("XDG_CONFIG_HOME", privateHome_.c_str(), 1);
    gSettings->saveToRegistry();
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
}

} // namespace tessaranth::host
