// The plug-in object: owns the frame cycle's state and forwards the host's callbacks. The port
// address and the emergency flag are the part the drivers see (DriverHost).
#pragma once

#include "controllers/DriverHost.h"
#include "settings/PluginVersion.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth {

class WinampPlugin : public DriverHost {
public:
    WinampPlugin();

    const char* getVersionText() const { return pluginVersion; }
    int32_t getUpdateDelay() const;
    void setUpdateDelay(int32_t milliseconds);

    void requestBackgroundReload();
    void requestAnalyzerTextClear();
    void requestAnalyzerGraphicsClear();
    void requestScopeTextClear();
    void requestScopeGraphicsClear();
    void requestVUClear();
    void requestPlaylistClear();
    void requestPlaylistRedraw();
    // The dialog's brightness reaches the display through the frame thread, never its own.
    void requestBrightnessChange();

    bool startUp(VisModule* module);
    void renderFrame(VisModule* module);
    void shutDown(VisModule* module);

    // Information screens: track fields, status indicators and the playlist.
    void refreshTrackInfo(VisModule* module);
    void drawTextFields(VisModule* module);
    void pollPlayState(VisModule* module);
    void drawStatusIndicators(VisModule* module);
    void drawPlaylist(VisModule* module);
    void clearPlaylist();

    uint8_t backgroundReloadPending = 0;
    uint8_t analyzerTextClearPending = 0;
    uint8_t analyzerGraphicsClearPending = 0;
    uint8_t playlistClearPending = 0;
    uint8_t scopeTextClearPending = 0;
    uint8_t scopeGraphicsClearPending = 0;
    uint8_t vuClearPending = 0;
    uint8_t brightnessPending = 0;
    char title[128] = {};
    char shownTitle[128] = {};
    char artist[128] = {};
    char shownArtist[128] = {};
    char trackText[16] = {};
    char shownTrackText[16] = {};
    char bitrateText[16] = {};
    char shownBitrateText[16] = {};
    char samplerateText[16] = {};
    char shownSamplerateText[16] = {};
    char channelsText[16] = {};
    char shownChannelsText[16] = {};
    char timeText[16] = {};
    char shownTimeText[16] = {};
    uint8_t playState = 1;
    uint8_t shownPlayState = 1;
    uint8_t shuffleState = 0;
    uint8_t shownShuffleState = 0;
    uint8_t repeatState = 0;
    uint8_t shownRepeatState = 0;
    uint8_t titleScrolling = 0;
    uint8_t artistScrolling = 0;
    uint8_t playlistRedrawPending = 0;

private:
    // Tests a request flag and clears it when it was set.
    static bool consume(uint8_t& flag);
};

} // namespace tessaranth
