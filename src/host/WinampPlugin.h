// SPDX-License-Identifier: GPL-2.0-or-later
// The plug-in object: owns the frame cycle's state and forwards the host's callbacks; the
// information screens, with their state, are a part of their own (InformationScreens).
#pragma once

#include "screens/InformationScreens.h"
#include "settings/PluginVersion.h"
#include "tessaranth/plugin_abi.h"

#include <cstdint>

namespace tessaranth {

class WinampPlugin : public InformationScreens {
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
    // The dialog's brightness reaches the display through the frame thread, never its own.
    void requestBrightnessChange();

    bool startUp(VisModule* module);
    void renderFrame(VisModule* module);
    void shutDown(VisModule* module);

    uint8_t backgroundReloadPending = 0;
    uint8_t analyzerTextClearPending = 0;
    uint8_t analyzerGraphicsClearPending = 0;
    uint8_t playlistClearPending = 0;
    uint8_t scopeTextClearPending = 0;
    uint8_t scopeGraphicsClearPending = 0;
    uint8_t vuClearPending = 0;
    uint8_t brightnessPending = 0;
    // Raised when the display cannot be driven: frames draw nothing until the next start.
    uint8_t emergencyShutdown = 0;
    // The port address the display was started on.
    uint16_t portAddress = 0;

    void raiseEmergencyShutdown();
    bool inEmergency() const;
    uint16_t getPortAddress() const { return portAddress; }

private:
    // Tests a request flag and clears it when it was set.
    static bool consume(uint8_t& flag);
};

} // namespace tessaranth
