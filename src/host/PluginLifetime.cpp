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

// The layout pointer follows the LCD object, the drivers' view follows the plug-in object.
void setLcd(LCD* lcd) {
    gLcd = lcd;
    gLayout = lcd;
}

void setPlugin(WinampPlugin* plugin) {
    gPlugin = plugin;
    gDriverHost = plugin;
}

} // namespace

void loadPlugin() {
    unloadPlugin();
    setPlugin(new WinampPlugin);
    setLcd(new LCD);
    gAnalyzer = new Analyzer;
    gSettings = new Settings;
    gModelEngine = new ModelEngine;
}

void recreateDisplayObjects() {
    if (!gLcd) setLcd(new LCD);
    if (!gAnalyzer) gAnalyzer = new Analyzer;
    if (!gModelEngine) gModelEngine = new ModelEngine;
}

void releaseDisplayObjects() {
    delete gLcd;
    setLcd(nullptr);
    release(gController);
    release(gAnalyzer);
    release(gModelEngine);
}

void unloadPlugin() {
    releaseDisplayObjects();
    release(gSettings);
    delete gPlugin;
    setPlugin(nullptr);
}

} // namespace tessaranth
