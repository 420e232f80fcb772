// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WinampPlugin.h"

#include "globals/Globals.h"
#include "settings/Settings.h"

#include <atomic>

namespace tessaranth {

WinampPlugin::WinampPlugin() = default;

int32_t WinampPlugin::getUpdateDelay() const { return gSettings->updateDelay(); }

void WinampPlugin::setUpdateDelay(int32_t milliseconds) { gSettings->setUpdateDelay(milliseconds); }

void WinampPlugin::requestBackgroundReload() { relaxedStore(backgroundReloadPending, uint8_t{1}); }
void WinampPlugin::requestAnalyzerTextClear() { relaxedStore(analyzerTextClearPending, uint8_t{1}); }
void WinampPlugin::requestAnalyzerGraphicsClear() { relaxedStore(analyzerGraphicsClearPending, uint8_t{1}); }
void WinampPlugin::requestScopeTextClear() { relaxedStore(scopeTextClearPending, uint8_t{1}); }
void WinampPlugin::requestScopeGraphicsClear() { relaxedStore(scopeGraphicsClearPending, uint8_t{1}); }
void WinampPlugin::requestVUClear() { relaxedStore(vuClearPending, uint8_t{1}); }
void WinampPlugin::requestPlaylistClear() { relaxedStore(playlistClearPending, uint8_t{1}); }
void WinampPlugin::requestBrightnessChange() { relaxedStore(brightnessPending, uint8_t{1}); }

void WinampPlugin::raiseEmergencyShutdown() { relaxedStore(emergencyShutdown, uint8_t{1}); }

bool WinampPlugin::inEmergency() const { return relaxedLoad(emergencyShutdown) != 0; }

bool WinampPlugin::consume(uint8_t& flag) {
    return std::atomic_ref<uint8_t>(flag).exchange(0, std::memory_order_relaxed) != 0;
}

} // namespace tessaranth
