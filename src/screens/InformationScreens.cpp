// SPDX-License-Identifier: GPL-2.0-or-later
#include "screens/InformationScreens.h"

#include "settings/Settings.h"

namespace tessaranth {

void InformationScreens::requestPlaylistRedraw() { relaxedStore(playlistRedrawPending, uint8_t{1}); }

void InformationScreens::forgetDrawnState() {
    for (char* text : {shownTitle, shownArtist, shownTrackText, shownBitrateText, shownSamplerateText,
                       shownChannelsText, shownTimeText})
        text[0] = '\0';
    playState = shownPlayState = 1;
    shuffleState = shownShuffleState = 0;
    repeatState = shownRepeatState = 0;
    titleScrolling = artistScrolling = 0;
}

} // namespace tessaranth
