// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerLSI.h"
#include "globals/Globals.h"
#include "screens/InformationScreens.h"
#include "screens/ScreenSupport.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace tessaranth {

namespace {

constexpr intptr_t entryIndexQuery = 125;
constexpr intptr_t fileNameQuery = 211;
constexpr int maxLine = 255;
constexpr std::size_t extensionLength = 4;

struct Window {
    uint16_t x;
    uint16_t y;
    int height;
    int width;
    int current;  // the window line of the current song
};

Window playlistWindow() {
    const Settings& s = *gSettings;
    const uint16_t position = s.playlistXY();
    return {static_cast<uint16_t>(screens::column(position)), static_cast<uint16_t>(screens::line(position)),
            s.playlistHeight(), s.playlistWidth(), s.currentPosition()};
}

// The entry's name as the list shows it: the last four characters (the extension and its dot)
// dropped, then whatever follows the last '\' or '/'. A name too short for that rule loses only
// what it has of an extension: from its last dot on, if it has one.
std::string_view entryName(const char* path) {
    std::string_view name(path);
    if (name.size() >= extensionLength)
        name.remove_suffix(extensionLength);
    else
        name = name.substr(0, name.rfind('.'));
    const std::size_t separator = name.find_last_of("\\/");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

// One line of the window, exactly width characters: the entry (numbered when asked), cut to
// the width and filled with spaces.
void buildLine(char (&line)[maxLine + 1], const char* path, int64_t number, int width) {
    char full[maxLine + 32];
    if (!path) {
        std::strcpy(full, " ");
    } else {
        const std::string_view name = entryName(path);
        const int shown = static_cast<int>(std::min<std::size_t>(name.size(), maxLine));
        if (gSettings->trackNumbering())
            std::snprintf(full, sizeof full, "%lld. %.*s", static_cast<long long>(number), shown, name.data());
        else
            std::snprintf(full, sizeof full, "%.*s", shown, name.data());
    }
    const std::size_t kept = std::min(std::strlen(full), static_cast<std::size_t>(width));
    std::memcpy(line, full, kept);
    std::fill(line + kept, line + width, ' ');
    line[width] = '\0';
}

// The bar behind the current song, as the display draws it.
void sendBar(const Window& w, bool lit) {
    gController->highlightLine(static_cast<int16_t>(w.x), static_cast<int16_t>(w.y + w.current),
                               static_cast<int16_t>(w.width), lit);
}

} // namespace

void InformationScreens::drawPlaylist(VisModule* module) {
    const Window w = playlistWindow();
    const int32_t current = screens::askPlayer(module, 0, entryIndexQuery);
    char line[maxLine + 1];
    for (int i = -w.current; i < w.height - w.current; ++i) {
        const int64_t entry = int64_t{current} + i;
        const auto name = screens::askPlayerWide(module, static_cast<uintptr_t>(entry), fileNameQuery);
        buildLine(line, reinterpret_cast<const char*>(name), entry + 1, w.width);
        gController->writeText(static_cast<int16_t>(w.x), static_cast<int16_t>(w.y + w.current + i), line);
    }
    sendBar(w, true);
}

void InformationScreens::clearPlaylist() {
    const Window w = playlistWindow();
    char blank[maxLine + 1];
    std::fill(blank, blank + w.width, ' ');
    blank[w.width] = '\0';
    for (int l = 0; l < w.height; ++l)
        gController->clearLine(static_cast<int16_t>(w.x), static_cast<int16_t>(w.y + l), blank);
    sendBar(w, false);
}

} // namespace tessaranth
