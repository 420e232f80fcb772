// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerTable.h"
#include "display/LCD.h"
#include "geometry/DisplayFormat.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "platform/Platform.h"
#include "screens/ScreenSupport.h"
#include "settings/Settings.h"
#include "vis/Visualisations.h"

#include <cstdio>
#include <cstring>

namespace tessaranth {

namespace {

constexpr uintptr_t emergencyCommand = 40001;

void warn(const char* text) { platform::messageBox(text, "Tessaranth", platform::mbIconWarning); }

void defineBarGlyphs() {
    for (uint8_t index = 0; index < 16; ++index) {
        const int lit = index % 8 + 1;
        const bool standing = index < 8;
        uint8_t rows[8];
        for (int row = 0; row < 8; ++row) rows[row] = (standing ? row >= 8 - lit : row < lit) ? 31 : 0;
        gController->defineGlyph(index, rows);
    }
}

using screens::writeTextAt;

// Centres text in a field of `length` cells. A text longer than its field is written alone.
void centredFarewell(uint16_t position, uint8_t length, const char* text) {
    const int n = static_cast<int>(std::strlen(text));
    if (n > length) return writeTextAt(position, text);
    const int left = (length - n) / 2;
    const int right = left < length ? left + 1 : left;
    char line[300];
    std::snprintf(line, sizeof line, "%*s%s%*s", left, "", text, right, "");
    writeTextAt(position, line);
}

void writeFarewells() {
    const Settings& s = *gSettings;
    const uint8_t titleLength = s.titleLength();
    const uint8_t artistLength = s.artistLength();
    if (s.showTitle())
        centredFarewell(s.titleXY(), titleLength,
                        titleLength >= 10 && titleLength <= 21 ? "Tessaranth" : "Tessaranth is shutdown");
    if (s.showArtist())
        centredFarewell(s.artistXY(), artistLength,
                        artistLength >= 7 && artistLength <= 16 ? "BYE BYE" : "..:: BYE BYE ::..");
    if (s.showTrack()) writeTextAt(s.trackXY(), s.extTrackSupport() ? "----/----" : "---/---");
    if (s.showTime()) writeTextAt(s.timeXY(), "--:--/--:--");
    if (s.showBitrate()) writeTextAt(s.bitrateXY(), "---");
    if (s.showSamplerate()) writeTextAt(s.samplerateXY(), "--");
    if (s.showTrackinfo()) writeTextAt(s.trackinfoXY(), "------");
    if (s.showStatus()) writeTextAt(s.statusXY(), "       ");
    if (s.showShuffle()) writeTextAt(s.shuffleXY(), "       ");
    if (s.showRepeat()) writeTextAt(s.repeatXY(), "      ");
}

void clearVisualisations() {
    for (const Visualisation& v : visualisations())
        if (v.shown(*gSettings)) v.clear();
}

} // namespace

bool WinampPlugin::startUp(VisModule* module) {
    if (gController) return true;  // a second Init while running changes nothing
    recreateDisplayObjects();
    forgetDrawnState();
    relaxedStore(emergencyShutdown, uint8_t{0});
    gSettings->loadFromRegistry();
    const uint8_t controller = gSettings->controller();
    const ControllerRow* row = findController(controller);
    gController = row ? row->makeDriver(driverSetup(*gSettings)) : nullptr;
    if (!gController) {
        char text[96];
        std::snprintf(text, sizeof text, "init: no display driver for controller %u", static_cast<unsigned>(controller));
        warn(text);
        raiseEmergencyShutdown();
    } else {
        gController->attach(*gLcd);
        gController->setOptions(driverOptions(*gSettings));
        if (!gController->open()) raiseEmergencyShutdown();
    }
    if (inEmergency()) {
        warn("init: emergency shutdown");
        platform::sendMessage(module ? module->playerWindow : nullptr, platform::wmCommand, emergencyCommand, 0);
        return false;
    }
    const DisplaySize size = displaySize(gSettings->displayFormat());
    gLcd->setFamily(row->family, row->sharedPitch);
    gLcd->setSize(size.width, size.height);
    portAddress = gSettings->lptAddress();
    gController->init();
    gController->setBrightness(gSettings->brightness());
    defineBarGlyphs();
    char path[128];
    gSettings->copyBackground(path);
    gLcd->loadBackground(path);
    gController->writeScreen(gLcd->backgroundPointer());
    gController->endFrame();
    return true;
}

void WinampPlugin::shutDown(VisModule*) {
    if (inEmergency()) {
        warn("quit: emergency shutdown");
    } else if (gController && gLcd) {
        clearVisualisations();
        if (gSettings->showPlaylist()) clearPlaylist();
        if (titleScrolling) gLcd->eraseScrollLine(0);
        if (artistScrolling) gLcd->eraseScrollLine(1);
        writeFarewells();
        gController->endFrame();
        gController->close();
    }
    releaseDisplayObjects();
}

} // namespace tessaranth
