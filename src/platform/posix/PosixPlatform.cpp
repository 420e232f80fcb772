// SPDX-License-Identifier: GPL-2.0-or-later
// Linux backend: message boxes go to stderr, the player window is the host's
// TessaranthPlayerWindow.
#include "platform/Platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace tessaranth::platform::native {

// "Caption: text", each further line of the text on a line of its own, under the first.
int32_t messageBox(const char* text, const char* caption, uint32_t) {
    const char* shown = caption ? caption : "";
    const int indent = static_cast<int>(std::strlen(shown)) + 2;
    std::fprintf(stderr, "%s: ", shown);
    for (const char* p = text ? text : ""; *p; ++p) {
        std::fputc(*p, stderr);
        if (*p == '\n' && p[1]) std::fprintf(stderr, "%*s", indent, "");
    }
    std::fputc('\n', stderr);
    return idOk;
}

intptr_t sendMessage(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto* player = static_cast<const TessaranthPlayerWindow*>(window);
    if (!player || !player->sendMessage) return 0;
    return player->sendMessage(player->context, message, wParam, lParam);
}

int32_t getWindowText(void* window, char* buffer, int32_t size) {
    const auto* player = static_cast<const TessaranthPlayerWindow*>(window);
    if (!player || !player->getWindowText) return 0;
    return player->getWindowText(player->context, buffer, size);
}

void sleepMillis(uint32_t milliseconds) {
    timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&delay, &delay) != 0) {
    }
}

} // namespace tessaranth::platform::native
