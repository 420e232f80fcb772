// SPDX-License-Identifier: GPL-2.0-or-later
#include "controllers/ControllerLSI.h"
#include "controllers/DriverOptions.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"
#include "vis/Visualisations.h"

namespace tessaranth {

void WinampPlugin::renderFrame(VisModule* module) {
    if (inEmergency() || !gController) return;
    gController->setOptions(driverOptions(*gSettings));
    drawTextFields(module);
    drawStatusIndicators(module);
    for (const Visualisation& v : visualisations())
        if (v.shown(*gSettings)) v.render(module);
    if (consume(backgroundReloadPending)) {
        char path[128];
        gSettings->copyBackground(path);
        gLcd->loadBackground(path);
        gController->writeScreen(gLcd->backgroundPointer());
    }
    if (consume(brightnessPending)) gController->setBrightness(gSettings->brightness());
    if (consume(analyzerTextClearPending)) gAnalyzer->clearAnalyzerText();
    if (consume(analyzerGraphicsClearPending)) gAnalyzer->clearAnalyzerGraphics();
    if (consume(scopeTextClearPending)) gAnalyzer->clearScopeText();
    if (consume(scopeGraphicsClearPending)) gAnalyzer->clearScopeGraphics();
    if (consume(vuClearPending)) gAnalyzer->clearVUMeter();
    if (consume(playlistClearPending)) clearPlaylist();
    if (consume(playlistRedrawPending)) drawPlaylist(module);
    drawStatusIndicators(module);
    gController->endFrame();
}

} // namespace tessaranth
