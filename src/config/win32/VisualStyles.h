// SPDX-License-Identifier: GPL-2.0-or-later
// The common controls of version 6, so that the dialog looks like the rest of the system: the
// activation context of the manifest the DLL carries (resource 2), active on this thread while
// the object lives. Where that version is missing nothing changes and the classic controls
// are used.
#pragma once

#include <windows.h>

namespace tessaranth::win32view {

class VisualStyles {
public:
    explicit VisualStyles(HINSTANCE module);
    ~VisualStyles();
    VisualStyles(const VisualStyles&) = delete;
    VisualStyles& operator=(const VisualStyles&) = delete;

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

} // namespace tessaranth::win32view
