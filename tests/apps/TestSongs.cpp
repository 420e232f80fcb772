// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestSongs.h"

#include <cstdlib>

namespace tessaranth::test {

bool runCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string shellQuoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

bool makeTestSong(const std::string& folder, const TestSong& song) {
    const std::string path = shellQuoted(folder + "/" + song.file);
    const std::string left = song.noise ? "pinknoise" : "sine " + std::to_string(song.hz);
    const std::string effects = song.noise ? " tremolo 2 90" : "";
    const std::string pad = song.silentSeconds ? " pad 0 " + std::to_string(song.silentSeconds) : "";
    return runCommand("sox -q -n -r 44100 -c 2 -b 16 " + path + " synth " + std::to_string(song.seconds) + " " + left +
                      " sine " + std::to_string(song.hz * 3 / 2) + effects + " vol 0.5" + pad + " 2>/dev/null") &&
           runCommand("metaflac --remove-all-tags --set-tag=ARTIST=" + shellQuoted(song.artist) +
                      " --set-tag=TITLE=" + shellQuoted(song.title) + " " + path);
}

} // namespace tessaranth::test
