// SPDX-License-Identifier: GPL-2.0-or-later
// Windows backend: the Win32 calls on the player's main window.
#include "platform/Platform.h"

#include <windows.h>

namespace tessaranth::platform::native {

int32_t messageBox(const char* text, const char* caption, uint32_t style) {
    return MessageBoxA(nullptr, text, caption, style);
}

intptr_t sendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

int32_t getWindowText(void* window, char* buffer, int32_t size) {
    return GetWindowTextA(static_cast<HWND>(window), buffer, size);
}

void sleepMillis(uint32_t milliseconds) { Sleep(milliseconds); }

} // namespace tessaranth::platform::native
