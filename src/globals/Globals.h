// The global objects. Each is owned by its pointer and reached only through it. Any layer may
// include this header: it declares the pointers and nothing else, so it pulls in none of the
// layers above. What loading and unloading does to them is in host/PluginLifetime.h.
#pragma once

namespace tessaranth {

class WinampPlugin;
class LCD;
class Analyzer;
class Settings;
class ModelEngine;
class ControllerLSI;
class DisplayLayout;

extern WinampPlugin* gPlugin;
extern LCD* gLcd;
extern Analyzer* gAnalyzer;
extern Settings* gSettings;
extern ModelEngine* gModelEngine;
extern ControllerLSI* gController;

// The layout of gLcd, as the layers beneath the drawing see it: the drivers address the display
// through it. It is set and cleared together with gLcd.
extern DisplayLayout* gLayout;

} // namespace tessaranth
