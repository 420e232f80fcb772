// SPDX-License-Identifier: GPL-2.0-or-later
// What the demo shows when no settings are stored: the plug-in's parts at once on the chosen
// display, each in a place of its own, over a background picture that parts the areas with thin
// lines and names the units of the numbers. A display of 240x128 or more shows every field and
// visualisation and the playlist; a 256x64 one every field, the analyzer, the scope and the VU
// meter; a 128x64 one the title, artist, time, status and the three visualisations; a 128x32
// one the title, time, status, the analyzer and the scope. Every other size gets the largest
// of these that fits on it.
#pragma once

#include <cstdint>
#include <string>

namespace tessaranth {
class Settings;
}

namespace tessaranth::host {

// The display the showcase is arranged for: a `controller` and a `displayFormat` value of the
// settings. The demo's own choice is a T6963C 240x128.
struct ShowcaseDisplay {
    uint8_t controller = 0;
    uint8_t displayFormat = 3;
};

// Arranges the settings for the showcase on that display. background: the path of its picture
// (see writeShowcasePicture); an empty path, or one too long for the setting, keeps the
// settings' own.
void arrangeShowcase(Settings& settings, const std::string& background, ShowcaseDisplay display = {});

// Writes the showcase's background picture for that display, a one-bit Windows bitmap of its
// size; false when it cannot.
bool writeShowcasePicture(const std::string& path, ShowcaseDisplay display = {});

} // namespace tessaranth::host
