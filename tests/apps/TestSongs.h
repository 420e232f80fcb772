// SPDX-License-Identifier: GPL-2.0-or-later
// Songs the tests make themselves: FLAC files of tones or noise made with sox and tagged with
// metaflac, as the players read them.
#pragma once

#include <string>

namespace tessaranth::test {

struct TestSong {
    std::string file;    // name in the music folder, e.g. "one.flac"
    std::string artist;
    std::string title;
    int seconds;
    int hz;              // the tone on the left; its fifth is on the right
    bool noise = false;  // pink noise on the left instead, swelling twice a second
    int silentSeconds = 0;  // silence after the sound
};

// Writes the song into the folder; false when sox or metaflac fail.
bool makeTestSong(const std::string& folder, const TestSong& song);

// Runs a shell command; true when it exits with 0.
bool runCommand(const std::string& command);

// A text quoted for the shell.
std::string shellQuoted(const std::string& text);

} // namespace tessaranth::test
