// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "platform/Platform.h"
#include "screens/InformationScreens.h"
#include "screens/ScreenSupport.h"
#include "screens/TrackText.h"
#include "settings/Settings.h"

#include <cstring>

namespace tessaranth {

namespace {

constexpr intptr_t positionQuery = 105;
constexpr intptr_t formatQuery = 126;
constexpr intptr_t entryCountQuery = 124;
constexpr intptr_t entryIndexQuery = 125;

using screens::askPlayer;
using screens::column;
using screens::line;
using screens::writeTextAt;

template <std::size_t N>
void copyText(char (&to)[N], const char (&from)[N]) {
    std::memcpy(to, from, N);
    to[N - 1] = '\0';
}

// Writes an information text when it changed and its field is shown.
void drawInfoField(const char (&text)[tracktext::infoSize], char (&shown)[tracktext::infoSize], bool show,
                   uint16_t position) {
    if (!show || std::strcmp(text, shown) == 0) return;
    writeTextAt(position, text);
    copyText(shown, text);
}

// Title or artist: one field with its scroll line.
struct NameField {
    char (&text)[tracktext::nameSize];
    char (&shown)[tracktext::nameSize];
    uint8_t& scrolling;
    int line;
    uint16_t position;
    uint8_t length;
    bool scroll;
};

void drawScrollingName(NameField& f, int32_t threshold) {
    if (!f.scrolling) {
        gController->blankText(column(f.position), line(f.position), f.length);
        gLcd->buildScrollLine(f.line, f.text);
        f.scrolling = 1;
    }
    if (std::strcmp(f.text, f.shown) != 0) {
        gLcd->buildScrollLine(f.line, f.text);
        copyText(f.shown, f.text);
    }
    gLcd->scrollLineStep(f.line, threshold);
}

void drawFixedName(NameField& f) {
    if (std::strcmp(f.text, f.shown) == 0) return;
    copyText(f.shown, f.text);
    if (f.scrolling) {
        f.scrolling = 0;
        gLcd->eraseScrollLine(f.line);
    }
    if (std::strlen(f.text) > f.length) f.text[f.length] = '\0';
    gController->blankText(column(f.position), line(f.position), f.length);
    writeTextAt(f.position, f.text);
}

void drawName(NameField f, int32_t threshold) {
    if (f.scroll && std::strlen(f.text) > f.length)
        drawScrollingName(f, threshold);
    else
        drawFixedName(f);
}

} // namespace

void InformationScreens::refreshTrackInfo(VisModule* module) {
    char windowTitle[tracktext::windowTitleSize];
    platform::getWindowText(module ? module->playerWindow : nullptr, windowTitle, sizeof windowTitle);
    tracktext::parseWindowTitle(windowTitle, artist, title);
    const int32_t position = askPlayer(module, 0, positionQuery);
    const int32_t length = askPlayer(module, 1, positionQuery);
    tracktext::formatTime(timeText, position, length, gSettings->timeType() != 0);
    const int32_t samplerate = askPlayer(module, 0, formatQuery);
    const int32_t bitrate = askPlayer(module, 1, formatQuery);
    const int32_t channels = askPlayer(module, 2, formatQuery);
    tracktext::formatChannels(channelsText, channels);
    tracktext::formatSamplerate(samplerateText, samplerate);
    tracktext::formatBitrate(bitrateText, bitrate);
    const int32_t count = askPlayer(module, 0, entryCountQuery);
    const int32_t index = askPlayer(module, 0, entryIndexQuery);
    tracktext::formatTrack(trackText, index, count, gSettings->extTrackSupport() != 0);
}

void InformationScreens::drawTextFields(VisModule* module) {
    const Settings& s = *gSettings;
    refreshTrackInfo(module);
    drawInfoField(timeText, shownTimeText, s.showTime(), s.timeXY());
    const int32_t threshold = (s.scrollSpeed() + 1) * 3;
    if (s.showTitle())
        drawName({title, shownTitle, titleScrolling, 0, s.titleXY(), s.titleLength(), s.scrollTitle() != 0}, threshold);
    if (s.showArtist())
        drawName({artist, shownArtist, artistScrolling, 1, s.artistXY(), s.artistLength(), s.scrollArtist() != 0},
                 threshold);
    if (std::strcmp(trackText, shownTrackText) != 0) {
        if (s.showTrack()) writeTextAt(s.trackXY(), trackText);
        if (s.showPlaylist()) requestPlaylistRedraw();  // the dialog sets the same flag from its thread
        copyText(shownTrackText, trackText);
    }
    drawInfoField(bitrateText, shownBitrateText, s.showBitrate(), s.bitrateXY());
    drawInfoField(samplerateText, shownSamplerateText, s.showSamplerate(), s.samplerateXY());
    drawInfoField(channelsText, shownChannelsText, s.showTrackinfo(), s.trackinfoXY());
}

} // namespace tessaranth
