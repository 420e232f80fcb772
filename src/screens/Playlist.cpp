#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "screens/InformationScreens.h"
#include "screens/ScreenSupport.h"
#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace tessaranth {

namespace {

constexpr intptr_t entryIndexQuery = 125;
constexpr intptr_t fileNameQuery = 211;
constexpr uint8_t noritakeController = 5;
constexpr int barRows = 9;
constexpr int maxLine = 255;
constexpr std::size_t extensionLength = 4;
// A run is counted in eight bits by the page drivers.
constexpr int maxRun = 255;

constexpr std::array<uint8_t, maxRun> runOf(uint8_t value) {
    std::array<uint8_t, maxRun> run{};
    run.fill(value);
    return run;
}
constexpr std::array<uint8_t, maxRun> litRun = runOf(0xFF);
constexpr std::array<uint8_t, maxRun> darkRun = runOf(0x00);

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

uint16_t barRowAddress(const Window& w, int r) {
    const int32_t pixelRow = 8 * (w.y + w.current) + r - 1;
    return static_cast<uint16_t>(gLcd->graphicHome() + w.x + gLcd->graphicRowBytes() * pixelRow);
}

// The bar behind the current song: under the text layer on the text-layer controllers, a run
// of columns on the Noritake, none on the KS0108B.
void sendBar(const Window& w, const std::array<uint8_t, maxRun>& run) {
    if (!gLcd->isPageController()) {
        for (int r = 0; r < barRows; ++r) {
            gController->setAddress(barRowAddress(w, r));
            gController->writeRun(run.data(), w.width);
        }
    } else if (gLcd->controller() == noritakeController) {
        gController->setAddress(static_cast<uint16_t>(w.x * 256 + w.y + w.current));
        gController->writeRun(run.data(), std::min(6 * w.width + 1, maxRun));
    }
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
        gLcd->setTextPosition(static_cast<int16_t>(w.x), static_cast<int16_t>(w.y + w.current + i));
        gController->writeText(line);
    }
    sendBar(w, litRun);
}

void InformationScreens::clearPlaylist() {
    const Window w = playlistWindow();
    char blank[maxLine + 1];
    std::fill(blank, blank + w.width, ' ');
    blank[w.width] = '\0';
    for (int l = 0; l < w.height; ++l) {
        gLcd->setTextPosition(static_cast<int16_t>(w.x), static_cast<int16_t>(w.y + l));
        if (gLcd->isPageController()) {
            gController->writeText(blank);
            continue;
        }
        gController->writeCommand(gController->autoWriteCode());
        for (int c = 0; c < w.width; ++c) gController->writeData(0);
        gController->writeCommand(gController->autoResetCode());
    }
    sendBar(w, darkRun);
}

} // namespace tessaranth
