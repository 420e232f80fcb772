// SPDX-License-Identifier: GPL-2.0-or-later
#include "PanelFields.h"

#include "settings/Settings.h"

#include <cstdint>

namespace tessaranth::test {

void placePanelFields(Settings& s, int width, int height, bool playlist) {
    const int columns = width / 6;
    const int half = columns / 2;
    for (auto show : {&Settings::setShowTrack, &Settings::setShowSamplerate, &Settings::setShowBitrate,
                      &Settings::setShowTrackinfo, &Settings::setShowStatus, &Settings::setShowRepeat,
                      &Settings::setShowShuffle, &Settings::setShowModelEngine})
        (s.*show)(0);
    s.setShowTitle(1);
    s.setTitleX(0);
    s.setTitleY(0);
    s.setTitleLength(static_cast<uint32_t>(columns));
    s.setScrollTitle(0);
    s.setShowArtist(1);
    s.setArtistX(0);
    s.setArtistY(1);
    s.setArtistLength(static_cast<uint32_t>(columns));
    s.setScrollArtist(0);
    s.setShowTime(1);
    s.setTimeX(0);
    s.setTimeY(2);
    const int graphTop = 24;
    const int graphHeight = playlist ? height / 2 - 32 : height - 40;
    s.setShowAnalyzer(1);
    s.setAnalyzerX(0);
    s.setAnalyzerY(static_cast<uint32_t>(graphTop));
    s.setAnalyzerWidth(static_cast<uint32_t>(half - 1));
    s.setAnalyzerHeight(static_cast<uint32_t>(graphHeight));
    s.setShowScope(1);
    s.setScopeX(static_cast<uint32_t>(half));
    s.setScopeY(static_cast<uint32_t>(graphTop));
    s.setScopeWidth(static_cast<uint32_t>(columns - half));
    s.setScopeHeight(static_cast<uint32_t>(graphHeight));
    s.setShowVUMeter(1);
    s.setVuMeterX(0);
    s.setVuMeterY(static_cast<uint32_t>(graphTop + graphHeight + 4));
    s.setVuMeterWidth(static_cast<uint32_t>(columns));
    s.setVuMeterHeight(playlist ? 12 : 8);
    s.setShowPlaylist(playlist ? 1 : 0);
    const int playlistRow = (graphTop + graphHeight + 16) / 8;
    s.setPlaylistX(0);
    s.setPlaylistY(static_cast<uint32_t>(playlistRow));
    s.setPlaylistWidth(static_cast<uint32_t>(columns));
    s.setPlaylistHeight(static_cast<uint32_t>(height / 8 - playlistRow));
    if (height >= 64) return;
    s.setShowArtist(0);
    s.setShowTime(0);
    fitShortPanel(s, height, true);
}

void fitShortPanel(Settings& s, int height, bool text) {
    const int graphTop = text ? 8 : 0;
    const int vuHeight = 6;
    const auto graphHeight = static_cast<uint32_t>(height - graphTop - vuHeight - 2);
    s.setAnalyzerY(static_cast<uint32_t>(graphTop));
    s.setScopeY(static_cast<uint32_t>(graphTop));
    s.setAnalyzerHeight(graphHeight);
    s.setScopeHeight(graphHeight);
    s.setVuMeterY(static_cast<uint32_t>(height - vuHeight));
    s.setVuMeterHeight(vuHeight);
}

} // namespace tessaranth::test
