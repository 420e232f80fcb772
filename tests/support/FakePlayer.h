// SPDX-License-Identifier: GPL-2.0-or-later
// A player behind the window-message interface: answers every message from its state and
// records what it was asked.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::test {

struct SentMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const SentMessage&) const = default;
};

class FakePlayer {
public:
    FakePlayer();

    // What the plug-in should hand to VisModule::playerWindow.
    void* window() { return &window_; }

    std::string windowTitle = "1. Artist - Title - Winamp";
    int32_t positionMillis = 0;
    int32_t lengthSeconds = 180;
    int32_t samplerate = 44;
    int32_t bitrate = 128;
    int32_t channels = 2;
    int32_t listLength = 10;
    int32_t listPosition = 0;
    int32_t playState = 1;
    int32_t shuffle = 0;
    int32_t repeat = 0;
    std::vector<std::string> fileNames;  // entry i, or no entry past the end
    bool nullFileNames = false;          // answer every 211 with a null pointer

    std::vector<SentMessage> sent;
    int titleReads = 0;

private:
    static intptr_t onMessage(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    static int32_t onTitle(void* context, char* buffer, int32_t size);

    TessaranthPlayerWindow window_{};
};

} // namespace tessaranth::test
