// SPDX-License-Identifier: GPL-2.0-or-later
#include "globals/Globals.h"
#include "screens/InformationScreens.h"
#include "screens/ScreenSupport.h"
#include "settings/Settings.h"
#include "vis/Visualisations.h"

namespace tessaranth {

namespace {

constexpr intptr_t playStateQuery = 104;
constexpr intptr_t shuffleQuery = 250;
constexpr intptr_t repeatQuery = 251;
constexpr uint8_t playing = 1;
constexpr uint8_t paused = 3;

using screens::askPlayer;
using screens::writeTextAt;

// Playback stopped: the visualisations that are shown go blank.
void blankVisualisations() {
    const Settings& s = *gSettings;
    for (const Visualisation& v : visualisations())
        if (v.shown(s)) v.blank(s);
}

void drawPlayState(uint8_t state, uint16_t position) {
    if (state == playing) return writeTextAt(position, "Playing");
    if (state == paused) return writeTextAt(position, "Paused ");
    writeTextAt(position, "Stopped");
    blankVisualisations();
}

} // namespace

void InformationScreens::pollPlayState(VisModule* module) {
    if (!module) return;
    playState = static_cast<uint8_t>(askPlayer(module, 0, playStateQuery) & 0xFF);
    shuffleState = askPlayer(module, 0, shuffleQuery) != 0 ? 1 : 0;
    repeatState = askPlayer(module, 0, repeatQuery) != 0 ? 1 : 0;
}

void InformationScreens::drawStatusIndicators(VisModule* module) {
    const Settings& s = *gSettings;
    pollPlayState(module);
    if (playState != shownPlayState && s.showStatus()) {
        drawPlayState(playState, s.statusXY());
        shownPlayState = playState;
    }
    if (shuffleState != shownShuffleState && s.showShuffle()) {
        writeTextAt(s.shuffleXY(), shuffleState == 1 ? "Shuffle" : "       ");
        shownShuffleState = shuffleState;
    }
    if (repeatState != shownRepeatState && s.showRepeat()) {
        writeTextAt(s.repeatXY(), repeatState == 1 ? "Repeat" : "      ");
        shownRepeatState = repeatState;
    }
}

} // namespace tessaranth
