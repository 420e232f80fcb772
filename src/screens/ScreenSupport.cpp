// SPDX-License-Identifier: GPL-2.0-or-later
#include "screens/ScreenSupport.h"

#include "controllers/ControllerLSI.h"
#include "globals/Globals.h"
#include "platform/Platform.h"

namespace tessaranth::screens {

intptr_t askPlayerWide(const VisModule* module, uintptr_t wParam, intptr_t query) {
    return platform::sendMessage(module ? module->playerWindow : nullptr, platform::wmUser, wParam, query);
}

int32_t askPlayer(const VisModule* module, uintptr_t wParam, intptr_t query) {
    return static_cast<int32_t>(askPlayerWide(module, wParam, query));
}

void writeTextAt(uint16_t position, const char* text) {
    gController->writeText(column(position), line(position), text);
}

} // namespace tessaranth::screens
