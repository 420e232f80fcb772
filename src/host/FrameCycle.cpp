#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "host/WinampPlugin.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"
#include "vis/ModelEngine.h"

namespace tessaranth {

void WinampPlugin::renderFrame(VisModule* module) {
    if (inEmergency() || !gController) return;
    drawTextFields(module);
    drawStatusIndicators(module);
    if (gSettings->showAnalyzer()) gAnalyzer->renderAnalyzer(module);
    if (gSettings->showScope()) gAnalyzer->renderScope(module);
    if (gSettings->showModelEngine()) gModelEngine->renderModels();
    if (gSettings->showVUMeter()) gAnalyzer->renderVUMeter(module);
    if (consume(backgroundReloadPending)) {
        char path[128];
        gSettings->copyBackground(path);
        gLcd->loadBackground(path);
        gController->writeScreen(gLcd->backgroundPointer());
    }
    if (consume(brightnessPending)) gLcd->setBrightness(gSettings->brightness());
    if (consume(analyzerTextClearPending)) gAnalyzer->clearAnalyzerText();
    if (consume(analyzerGraphicsClearPending)) gAnalyzer->clearAnalyzerGraphics();
    if (consume(scopeTextClearPending)) gAnalyzer->clearScopeText();
    if (consume(scopeGraphicsClearPending)) gAnalyzer->clearScopeGraphics();
    if (consume(vuClearPending)) gAnalyzer->clearVUMeter();
    if (consume(playlistClearPending)) clearPlaylist();
    if (consume(playlistRedrawPending)) drawPlaylist(module);
    drawStatusIndicators(module);
}

} // namespace tessaranth
