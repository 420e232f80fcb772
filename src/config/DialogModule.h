// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux dialog is a module of its own, qt/tessaranth-dialog.so in the plug-in's folder (the
// modules that draw with Qt are kept apart in qt/), loaded the first time the dialog opens and
// kept from then on: the plug-in, and whatever hosts it, need no toolkit until then, and a
// machine without a screen needs none at all. This is all the two sides share. They are built
// together; the entry point's name carries the version of this interface, so a module of
// another version is not found rather than misused.
#pragma once

namespace tessaranth {

class FormInput;

struct DialogModule {
    // Shows the form modally and returns when it is closed; null then, else why it could not be
    // shown (a text for a message box).
    const char* (*show)(FormInput& form);
    // Brings the open dialog to the front.
    void (*raise)();
};

constexpr const char* dialogModuleFile = "qt/tessaranth-dialog.so";
constexpr const char* dialogModuleEntry = "tessaranthDialogModule1";
using DialogModuleEntry = const DialogModule* (*)();

} // namespace tessaranth
