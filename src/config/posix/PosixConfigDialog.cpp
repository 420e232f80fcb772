// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux dialog: the Qt module in the plug-in's folder (config/DialogModule.h), loaded when
// the dialog first opens. Without a screen, or without the module, Config says how to set up
// without them and changes nothing.
#include "config/ConfigDialog.h"
#include "config/DialogModule.h"
#include "config/TConfigForm.h"
#include "platform/Platform.h"
#include "platform/posix/Companion.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace tessaranth::config::native {

namespace {

std::atomic<const DialogModule*> loadedModule{nullptr};

const char* const withoutDialog = "tessaranth config --set NAME=VALUE";

// Through the host, when it shows message boxes itself.
void warn(const std::string& text) { platform::messageBox(text.c_str(), "Tessaranth", platform::mbIconWarning); }

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// QT_QPA_PLATFORM names a platform of Qt's own, such as offscreen for pictures of the dialog.
bool displayAvailable() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

const DialogModule* dialogModule() {
    if (const DialogModule* module = loadedModule) return module;
    const platform::Companion companion = platform::loadCompanion(dialogModuleFile, dialogModuleEntry);
    const DialogModule* module =
        companion.entry ? reinterpret_cast<DialogModuleEntry>(companion.entry)() : nullptr;
    if (companion.status == platform::CompanionStatus::missing)
        warn(std::string("The configuration dialog is not installed: install tessaranth-dialog, or use\n") + withoutDialog);
    else if (!module)
        warn("The configuration dialog cannot be loaded: " + companion.problem);
    loadedModule = module;
    return module;
}

} // namespace

void showConfigDialog(TConfigForm& form) {
    if (!displayAvailable()) {
        warn(std::string("The configuration dialog needs a graphical display (DISPLAY or WAYLAND_DISPLAY).\n"
                         "Without one, use ") + withoutDialog);
        return;
    }
    if (const DialogModule* module = dialogModule())
        if (const char* problem = module->show(form)) warn(problem);
}

void raiseConfigDialog() {
    if (const DialogModule* module = loadedModule) module->raise();
}

} // namespace tessaranth::config::native
