// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/win32/VisualStyles.h"

#include <commctrl.h>

namespace tessaranth::win32view {

namespace {
constexpr WORD manifestResource = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
}

VisualStyles::VisualStyles(HINSTANCE module) {
    char path[MAX_PATH] = {};
    if (GetModuleFileNameA(module, path, sizeof path) == 0 || path[sizeof path - 1] != '\0') return;
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEA(manifestResource);
    context_ = CreateActCtxA(&request);
    if (context_ != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context_, &cookie_) != 0;
    // Registers the classes of whichever version the context selects.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

VisualStyles::~VisualStyles() {
    if (active_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

} // namespace tessaranth::win32view
