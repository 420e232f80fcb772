// SPDX-License-Identifier: GPL-2.0-or-later
// The information screens, a part of the plug-in object (WinampPlugin is one): the track
// fields, the play status indicators and the playlist view, with what was last read from the
// player and what was last drawn of it.
#pragma once

#include "screens/TrackText.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth {

class InformationScreens {
public:
    void refreshTrackInfo(VisModule* module);
    void drawTextFields(VisModule* module);
    void pollPlayState(VisModule* module);
    void drawStatusIndicators(VisModule* module);
    void drawPlaylist(VisModule* module);
    void clearPlaylist();
    // Asks the frame cycle for a playlist redraw: the track fields do when the track changes,
    // the dialog (on its own thread) when the playlist is turned on or moved.
    void requestPlaylistRedraw();
    // A new start draws every field afresh: forgets what the previous run had drawn.
    void forgetDrawnState();

    char title[tracktext::nameSize] = {};
    char shownTitle[tracktext::nameSize] = {};
    char artist[tracktext::nameSize] = {};
    char shownArtist[tracktext::nameSize] = {};
    char trackText[tracktext::infoSize] = {};
    char shownTrackText[tracktext::infoSize] = {};
    char bitrateText[tracktext::infoSize] = {};
    char shownBitrateText[tracktext::infoSize] = {};
    char samplerateText[tracktext::infoSize] = {};
    char shownSamplerateText[tracktext::infoSize] = {};
    char channelsText[tracktext::infoSize] = {};
    char shownChannelsText[tracktext::infoSize] = {};
    char timeText[tracktext::infoSize] = {};
    char shownTimeText[tracktext::infoSize] = {};
    uint8_t playState = 1;
    uint8_t shownPlayState = 1;
    uint8_t shuffleState = 0;
    uint8_t shownShuffleState = 0;
    uint8_t repeatState = 0;
    uint8_t shownRepeatState = 0;
    uint8_t titleScrolling = 0;
    uint8_t artistScrolling = 0;
    uint8_t playlistRedrawPending = 0;
};

} // namespace tessaranth
