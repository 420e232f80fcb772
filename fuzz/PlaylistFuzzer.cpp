// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as the playlist's file names and the player's answers, with the window's
// place, size, current line and numbering from the bytes: redraws and clears of the playlist
// on every controller the bytes choose.
#include "FuzzHost.h"

#include "controllers/ControllerTable.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

namespace {

using namespace tessaranth;

void placePlaylist(fuzz::ByteReader& reader) {
    Settings& s = *gSettings;
    s.setController(static_cast<uint8_t>(reader.byte() % std::size(controllerTable)));
    s.setDisplayFormat(reader.byte() % 10);
    s.setBackground("");
    s.setShowPlaylist(1);
    for (auto set : {&Settings::setPlaylistWidth, &Settings::setPlaylistHeight, &Settings::setPlaylistX,
                     &Settings::setPlaylistY, &Settings::setCurrentPosition, &Settings::setTrackNumbering})
        (s.*set)(reader.byte());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    loadPlugin();
    fuzz::ByteReader reader(data, size);
    placePlaylist(reader);
    fuzz::runPlugin(reader, 3, [&reader](VisModule&) {
        const uint8_t requests = reader.byte();
        if (requests & 1) gPlugin->requestPlaylistRedraw();
        if (requests & 2) gPlugin->requestPlaylistClear();
        if (requests & 4) gSettings->setCurrentPosition(reader.byte());
    });
    unloadPlugin();
    return 0;
}
