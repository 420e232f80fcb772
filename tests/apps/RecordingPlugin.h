// SPDX-License-Identifier: GPL-2.0-or-later
// What the recording plug-in saw of its host. A test puts one of these into the module's
// userPointer before Init.
#pragma once

#include <cstdint>

struct RecordingPluginLog {
    int inits = 0;
    int renders = 0;
    int quits = 0;
    void* windowAtInit = nullptr;
    char lastTitle[256] = {};
    intptr_t lastPlayState = -1;
    int nonZeroSpectrumFrames = 0;
    int nonZeroWaveformFrames = 0;
    int32_t delayToAsk = 40;    // stored into delayMillis at every Render
    bool askToClose = false;    // send the player's close command at Init
};
