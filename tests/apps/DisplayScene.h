// SPDX-License-Identifier: GPL-2.0-or-later
// The whole Linux host for end-to-end tests: the plug-in with a configuration file that shows
// the time, the play status and the analyzer (without peak markers), a player and an audio
// source, and the virtual display (an emulated T6963C 128 x 64) read back as text rows and lit
// dots.
#pragma once

#include "audio/AudioSource.h"
#include "players/PlayerSource.h"
#include "session/HostSession.h"
#include "session/PluginLibrary.h"
#include "session/StoredSettings.h"
#include "views/VirtualDisplayTarget.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaranth::test {

class DisplayScene {
public:
    // folder: where the configuration file goes. Starts the session (Init).
    DisplayScene(const std::string& folder, host::PlayerSource& player, host::AudioSource& audio);
    // Quits the session; the emulator's complaints, if any, are in problems() before that.
    ~DisplayScene();

    host::HostSession& session() { return *session_; }
    // One frame now.
    void frame();
    // Runs frames every `intervalMillis` (at fixed times, as the frame loop does) until the
    // condition holds, at most `millis`.
    bool frames(int millis, const std::function<bool()>& condition, int intervalMillis = 20);

    // The text layer, one string a row ('?' for codes outside ASCII).
    std::vector<std::string> textRows() const;
    bool shows(const std::string& text) const;
    // The time field: "mm:ss/mm:ss".
    std::string timeRow() const;
    // The analyzer's area (17 cells in, 24 rows down, 4 cells by 16 rows), dot by dot; and the
    // dots of its bars above the floor (the bottom row, lit in silence too), peak markers left out.
    std::vector<bool> analyzerPicture() const;
    int analyzerDots() const;
    std::string problems() const;
    // All rows, for failure messages.
    std::string picture() const;

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::unique_ptr<host::StoredSettings> settings_;
    std::unique_ptr<host::VirtualDisplayTarget> display_;
    std::unique_ptr<host::PluginLibrary> plugin_;
    std::unique_ptr<host::HostSession> session_;
};

} // namespace tessaranth::test
