// SPDX-License-Identifier: GPL-2.0-or-later
#include "PlayerStateHost.h"

#include "FuzzHost.h"
#include "session/PlayerWindow.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <string>

namespace tessaranth::fuzz {

namespace {

void checkText(const std::string& text) {
    if (text.size() > 255) __builtin_trap();
    for (char c : text)
        if (c < 0x20 || c > 0x7E) __builtin_trap();
}

void showEverything() {
    Settings& s = *gSettings;
    s.setBackground("");
    for (auto show : {&Settings::setShowTitle, &Settings::setShowArtist, &Settings::setShowTrack,
                      &Settings::setShowTime, &Settings::setShowSamplerate, &Settings::setShowBitrate,
                      &Settings::setShowTrackinfo, &Settings::setShowStatus, &Settings::setShowRepeat,
                      &Settings::setShowShuffle, &Settings::setShowPlaylist, &Settings::setScrollTitle,
                      &Settings::setTrackNumbering})
        (s.*show)(1);
}

} // namespace

void checkPlayerState(const host::PlayerState& state) {
    for (const host::PlaylistEntry& entry : state.playlist) {
        checkText(entry.artist);
        checkText(entry.title);
        checkText(entry.fileName);
    }
    if (state.positionMillis < 0 || state.lengthSeconds < -1 || state.sampleRate < 0 || state.bitrate < 0 ||
        state.channels < 0)
        __builtin_trap();
}

void showPlayerState(const host::PlayerState& state, int frames) {
    installQuietHost();
    loadPlugin();
    showEverything();
    host::PlayerWindow window(state);
    VisModule& module = *winampVisGetHeader()->lookupModule(0);
    module.playerWindow = window.handle();
    module.initCallback(&module);
    for (int frame = 0; frame < frames; ++frame) module.renderCallback(&module);
    module.quitCallback(&module);
    unloadPlugin();
}

} // namespace tessaranth::fuzz
