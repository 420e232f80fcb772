// SPDX-License-Identifier: GPL-2.0-or-later
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

extern WinampPlugin* gPlugin;
extern LCD* gLcd;
extern Analyzer* gAnalyzer;
extern Settings* gSettings;
extern ModelEngine* gModelEngine;
extern ControllerLSI* gController;

} // namespace tessaranth
