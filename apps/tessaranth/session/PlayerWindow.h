// SPDX-License-Identifier: GPL-2.0-or-later
// The player's main window as the plug-in sees it: answers the window messages and the window
// title from a PlayerState, the way the player itself does.
#pragma once

#include "players/PlayerState.h"

#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <string>

namespace tessaranth::host {

namespace message {
constexpr uint32_t user = 0x0400;
constexpr uint32_t command = 0x0111;
constexpr intptr_t playState = 104;
constexpr intptr_t time = 105;
constexpr intptr_t listLength = 124;
constexpr intptr_t listPosition = 125;
constexpr intptr_t audioInfo = 126;
constexpr intptr_t fileName = 211;
constexpr intptr_t shuffle = 250;
constexpr intptr_t repeat = 251;
constexpr uintptr_t closeCommand = 40001;
} // namespace message

class PlayerWindow {
public:
    explicit PlayerWindow(const PlayerState& state);
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // What the host puts into VisModule::playerWindow.
    void* handle() { return &window_; }

    intptr_t sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // As GetWindowTextA: at most size - 1 characters, NUL-terminated; returns the length copied.
    int32_t getWindowText(char* buffer, int32_t size);
    // The whole title: "N. Artist - Title - Winamp", with the play state appended when paused or
    // stopped, or "Winamp" with nothing to play.
    const std::string& title();

    // The plug-in asked the player to close (it does so when it cannot start).
    bool closeRequested() const { return closeRequested_; }

private:
    intptr_t answerUser(uintptr_t wParam, intptr_t lParam) const;

    const PlayerState& state_;
    TessaranthPlayerWindow window_{};
    std::string title_;
    bool closeRequested_ = false;
};

} // namespace tessaranth::host
