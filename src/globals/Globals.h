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
class DriverHost;

extern WinampPlugin* gPlugin;
extern LCD* gLcd;
extern Analyzer* gAnalyzer;
extern Settings* gSettings;
extern ModelEngine* gModelEngine;
extern ControllerLSI* gController;

// Two of these objects as the layers beneath them see them, each set and cleared together with
// the object it is part of: the layout of gLcd, through which the drivers address the display,
// and the part of gPlugin that the drivers ask for the port address and the emergency flag.
extern DisplayLayout* gLayout;
extern DriverHost* gDriverHost;

} // namespace tessaranth
