// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes become a settings record, then a stream of spectrum and waveform frames and
// player states: Init, frames and Quit must survive every one of them.
#include "FuzzHost.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"

namespace {

using namespace tessaranth;

void requestFromByte(uint8_t requests) {
    if (requests & 1) gPlugin->requestBackgroundReload();
    if (requests & 2) gPlugin->requestAnalyzerTextClear();
    if (requests & 4) gPlugin->requestAnalyzerGraphicsClear();
    if (requests & 8) gPlugin->requestScopeTextClear();
    if (requests & 16) gPlugin->requestScopeGraphicsClear();
    if (requests & 32) gPlugin->requestVUClear();
    if (requests & 64) gPlugin->requestPlaylistClear();
    if (requests & 128) gPlugin->requestPlaylistRedraw();
}

void runPlugin(fuzz::ByteReader& reader) {
    fuzz::runPlugin(reader, 2, [&reader](VisModule& module) {
        reader.copy(module.spectrumBytes, sizeof module.spectrumBytes / 8);
        reader.copy(module.waveformBytes, sizeof module.waveformBytes / 8);
        requestFromByte(reader.byte());
        if (reader.byte() & 1) gPlugin->requestBrightnessChange();
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    loadPlugin();
    fuzz::ByteReader reader(data, size);
    SettingsImage& image = gSettings->image();
    reader.copy(&image, sizeof image);
    gSettings->setBackground("");  // a path from the bytes could name any file on this machine
    runPlugin(reader);
    unloadPlugin();
    return 0;
}
