// Linux backend: message boxes become one line on stderr, the player window is the host's
// TessaranthPlayerWindow.
#include "platform/Platform.h"

#include <cstdio>
#include <ctime>

namespace tessaranth::platform::native {

namespace {

void writeEscaped(const char* text) {
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n')
            std::fputs("\\n", stderr);
        else
            std::fputc(*p, stderr);
    }
}

} // namespace

int32_t messageBox(const char* text, const char* caption, uint32_t) {
    writeEscaped(caption);
    std::fputs(": ", stderr);
    writeEscaped(text);
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
