// SPDX-License-Identifier: GPL-2.0-or-later
// The host's own copy of the plug-in's objects (tessaranth_core, linked into the program), for
// reading and writing the settings the way the plug-in does without touching the loaded plug-in.
#pragma once

#include "settings/Settings.h"

#include <string>
#include <vector>

namespace tessaranth::host {

// Runs work on the host's own copy of the plug-in's objects, quietly: what the plug-in would
// have shown in a box goes into messages, in order. The copy lives only while work runs.
template <typename Work>
void onHostCopy(std::vector<std::string>& messages, Work work);

// Loads or saves gSettings from or into the file at path, as the dialog's "Load from file" and
// "Save to file" do, with the file dialog answered by path.
bool withSettingsFile(const std::string& path, bool (Settings::*operation)());

// What the plug-in said, on the line of the host's own report: "text: message; message".
std::string withMessages(std::string text, const std::vector<std::string>& messages);

namespace detail {
void loadQuietCopy(std::vector<std::string>& messages);
void unloadQuietCopy();
} // namespace detail

template <typename Work>
void onHostCopy(std::vector<std::string>& messages, Work work) {
    detail::loadQuietCopy(messages);
    struct Unload {
        ~Unload() { detail::unloadQuietCopy(); }
    } unload;
    work();
}

} // namespace tessaranth::host
