// SPDX-License-Identifier: GPL-2.0-or-later
#include "QtModules.h"

#include "Errors.h"

#include "config/DialogModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace tessaranth::host {

namespace {

// The module's entry point; `what` names the module for the user, `otherwise` what to do
// without it.
void* entryOf(const std::string& path, const char* entry, const std::string& what, const std::string& otherwise) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw Failure(what + " is not installed (no " + path + "): install tessaranth-dialog, or " + otherwise);
    // Never unloaded, so the handle may go at once.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) throw Failure("cannot load " + what + ": " + dlerror() + "; " + otherwise);
    void* symbol = dlsym(handle, entry);
    dlclose(handle);
    if (!symbol) throw Failure(path + " has no " + entry + " (a module of another version?)");
    return symbol;
}

} // namespace

const WindowModule& loadWindowModule(const std::string& path) {
    const auto entry = reinterpret_cast<WindowModuleEntry>(
        entryOf(path, windowModuleEntry, "the window", "use --view terminal or --view png:DIR"));
    return *entry();
}

void loadDialogModule(const std::string& path) {
    entryOf(path, dialogModuleEntry, "the configuration dialog", setUpWithoutDialog);
}

} // namespace tessaranth::host
