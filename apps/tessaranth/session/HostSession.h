// SPDX-License-Identifier: GPL-2.0-or-later
// One run of the plug-in in the host: the module record filled as the player fills it, Init,
// frames that bring the player's state and the audio up to date before every Render, and Quit.
#pragma once

#include "audio/AudioBlock.h"
#include "audio/AudioSource.h"
#include "players/PlayerSource.h"
#include "session/PlayerWindow.h"
#include "session/PluginLibrary.h"
#include "audio/AudioAnalysis.h"

#include <cstdint>
#include <functional>

namespace tessaranth::host {

// The shortest and longest pause between frames, whatever the plug-in asks for.
constexpr int32_t shortestDelayMillis = 1;
constexpr int32_t longestDelayMillis = 5000;

class HostSession {
public:
    // afterFrame: called after every Render (the display views draw there).
    HostSession(PluginLibrary& plugin, PlayerSource& player, AudioSource& audio, std::function<void()> afterFrame);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Init. Quit follows in the destructor.
    void start();
    // One frame at nowMillis since the start; returns the module's delay until the next one.
    int32_t frame(int64_t nowMillis);
    void configure();
    // The plug-in asked the player to close, as it does when the display cannot start.
    bool closeRequested() const { return window_.closeRequested(); }
    int64_t frames() const { return frames_; }

private:
    PluginLibrary& plugin_;
    PlayerSource& player_;
    AudioSource& audioSource_;
    std::function<void()> afterFrame_;
    PlayerWindow window_;
    AudioAnalysis analysis_;
    AudioBlock audio_;
    bool started_ = false;
    int64_t frames_ = 0;
};

} // namespace tessaranth::host
