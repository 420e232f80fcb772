// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/PluginLifetime.h"

#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"
#include "vis/ModelEngine.h"

namespace tessaranth {

namespace {

template <class T>
void release(T*& object) {
    delete object;
    object = nullptr;
}

} // namespace

void loadPlugin() {
    unloadPlugin();
    gPlugin = new WinampPlugin;
    gLcd = new LCD;
    gAnalyzer = new Analyzer;
    gSettings = new Settings;
    gModelEngine = new ModelEngine;
}

void recreateDisplayObjects() {
    if (!gLcd) gLcd = new LCD;
    if (!gAnalyzer) gAnalyzer = new Analyzer;
    if (!gModelEngine) gModelEngine = new ModelEngine;
}

void releaseDisplayObjects() {
    release(gLcd);
    release(gController);
    release(gAnalyzer);
    release(gModelEngine);
}

void unloadPlugin() {
    releaseDisplayObjects();
    release(gSettings);
    release(gPlugin);
}

} // namespace tessaranth
