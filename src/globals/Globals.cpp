// SPDX-License-Identifier: GPL-2.0-or-later
#include "globals/Globals.h"

namespace tessaranth {

WinampPlugin* gPlugin = nullptr;
LCD* gLcd = nullptr;
Analyzer* gAnalyzer = nullptr;
Settings* gSettings = nullptr;
ModelEngine* gModelEngine = nullptr;
ControllerLSI* gController = nullptr;

} // namespace tessaranth
