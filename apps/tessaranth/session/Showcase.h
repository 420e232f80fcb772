// SPDX-License-Identifier: GPL-2.0-or-later
// What the demo shows when no settings are stored: every part of the plug-in at once on a
// T6963C 240x128, each in a place of its own, over a background picture that parts the areas
// with thin lines and names the units of the numbers.
#pragma once

#include <string>

namespace tessaranth {
class Settings;
}

namespace tessaranth::host {

// Arranges the settings for the showcase. background: the path of its picture (see
// writeShowcasePicture); an empty path, or one too long for the setting, keeps the settings' own.
void arrangeShowcase(Settings& settings, const std::string& background);

// Writes the showcase's background picture, a one-bit Windows bitmap; false when it cannot.
bool writeShowcasePicture(const std::string& path);

} // namespace tessaranth::host
