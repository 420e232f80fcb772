// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileDialogs.h"

#include <cstring>

namespace tessaranth::platform {

namespace {

FileDialogHandler installedHandler = nullptr;
void* installedContext = nullptr;

bool choose(const FileDialogRequest& request, char* path, std::size_t size) {
    if (!path || size == 0) return false;
    std::memset(path, 0, size);
    const bool chosen = installedHandler && installedHandler(installedContext, request, path, size);
    // A path that fills the whole buffer was cut short: it names some other file.
    if (!chosen || path[0] == '\0' || std::memchr(path, '\0', size) == nullptr) {
        path[0] = '\0';
        return false;
    }
    return true;
}

} // namespace

void setFileDialogHandler(FileDialogHandler handler, void* context) {
    installedHandler = handler;
    installedContext = handler ? context : nullptr;
}

bool chooseOpenFile(const char* title, const char* filter, const char* defaultExtension, char* path,
                    std::size_t size) {
    return choose({FileDialogKind::open, title, filter, defaultExtension}, path, size);
}

bool chooseSaveFile(const char* title, const char* filter, const char* defaultExtension, char* path,
                    std::size_t size) {
    return choose({FileDialogKind::save, title, filter, defaultExtension}, path, size);
}

} // namespace tessaranth::platform
