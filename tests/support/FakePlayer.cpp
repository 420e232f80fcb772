// SPDX-License-Identifier: GPL-2.0-or-later
#include "FakePlayer.h"

#include <cstring>

namespace tessaranth::test {

FakePlayer::FakePlayer() {
    window_.context = this;
    window_.sendMessage = onMessage;
    window_.getWindowText = onTitle;
}

intptr_t FakePlayer::onMessage(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto& p = *static_cast<FakePlayer*>(context);
    p.sent.push_back({message, wParam, lParam});
    if (message != 0x0400) return 0;
    switch (lParam) {
    case 104: return p.playState;
    case 250: return p.shuffle;
    case 251: return p.repeat;
    case 105: return wParam == 0 ? p.positionMillis : p.lengthSeconds;
    case 126: return wParam == 0 ? p.samplerate : wParam == 1 ? p.bitrate : p.channels;
    case 124: return p.listLength;
    case 125: return p.listPosition;
    case 211:
        if (p.nullFileNames || wParam >= p.fileNames.size()) return 0;
        return reinterpret_cast<intptr_t>(p.fileNames[wParam].c_str());
    default: return 0;
    }
}

int32_t FakePlayer::onTitle(void* context, char* buffer, int32_t size) {
    auto& p = *static_cast<FakePlayer*>(context);
    ++p.titleReads;
    if (size <= 0) return 0;
    const std::size_t n = std::min(p.windowTitle.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, p.windowTitle.data(), n);
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

} // namespace tessaranth::test
