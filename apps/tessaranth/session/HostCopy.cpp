// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/HostCopy.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <cstring>

namespace tessaranth::host {

namespace {

// The services of the quiet copy: its boxes are kept, not shown. One copy lives at a time.
TessaranthHostServices quiet{};

// Answers the file dialog of the settings' file load or save with the one file the user named.
bool answerWithFile(void* context, const platform::FileDialogRequest&, char* path, std::size_t size) {
    const auto* file = static_cast<const std::string*>(context);
    if (file->size() + 1 > size) return false;
    std::memcpy(path, file->c_str(), file->size() + 1);
    return true;
}

} // namespace

namespace detail {

void loadQuietCopy(std::vector<std::string>& messages) {
    quiet = {};
    quiet.version = TESSARANTH_HOST_SERVICES_VERSION;
    quiet.context = &messages;
    quiet.messageBox = [](void* context, const char* text, const char*, uint32_t) -> int32_t {
        static_cast<std::vector<std::string>*>(context)->push_back(text ? text : "");
        return platform::idOk;
    };
    platform::setHostServices(&quiet);
    loadPlugin();
}

void unloadQuietCopy() {
    unloadPlugin();
    platform::setHostServices(nullptr);
}

} // namespace detail

bool withSettingsFile(const std::string& path, bool (Settings::*operation)()) {
    std::string file = path;
    platform::setFileDialogHandler(answerWithFile, &file);
    const bool done = ((*gSettings).*operation)();
    platform::setFileDialogHandler(nullptr, nullptr);
    return done;
}

std::string withMessages(std::string text, const std::vector<std::string>& messages) {
    for (std::size_t i = 0; i < messages.size(); ++i) text += (i ? "; " : ": ") + messages[i];
    return text;
}

} // namespace tessaranth::host
