// SPDX-License-Identifier: GPL-2.0-or-later
// What a player reports about itself: the current song, the playlist and the play state.
// The player sources fill it; the player window answers the plug-in's questions from it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tessaranth::host {

enum class PlayState : int32_t { stopped = 0, playing = 1, paused = 3 };

// The most entries of a player's list that a player source passes on: of a longer list, that
// many around the current song.
constexpr std::size_t mostPlaylistEntries = 10000;

struct PlaylistEntry {
    std::string artist;
    std::string title;
    std::string fileName;
};

struct PlayerState {
    std::vector<PlaylistEntry> playlist;  // at most mostPlaylistEntries: the player's entries from firstEntry on
    int32_t firstEntry = 0;         // the player's index of playlist[0]
    int32_t laterEntries = 0;       // how many of the player's entries follow the last of playlist
    int32_t current = 0;            // the player's index of the current entry; ignored without entries
    PlayState playState = PlayState::stopped;
    int32_t positionMillis = 0;
    int32_t lengthSeconds = -1;     // -1: unknown
    int32_t sampleRate = 0;         // Hz; 0: none
    int32_t bitrate = 0;            // kbit/s; 0: none
    int32_t channels = 2;
    bool shuffle = false;
    bool repeat = false;

    // The number of the player's entries.
    int32_t listLength() const {
        const int64_t length = int64_t{firstEntry} + static_cast<int64_t>(playlist.size()) + laterEntries;
        return static_cast<int32_t>(std::clamp<int64_t>(length, 0, std::numeric_limits<int32_t>::max()));
    }
    // The entry at the player's index, where it is among those passed on.
    const PlaylistEntry* entry(int64_t index) const {
        const int64_t at = index - firstEntry;
        if (at < 0 || static_cast<uint64_t>(at) >= playlist.size()) return nullptr;
        return &playlist[static_cast<std::size_t>(at)];
    }
    const PlaylistEntry* currentEntry() const { return entry(current); }
};

// Everything but the playlist: what a hand-over between threads copies each time, while the
// playlist goes across only when it changed.
inline void copyAllButPlaylist(const PlayerState& from, PlayerState& to) {
    to.firstEntry = from.firstEntry;
    to.laterEntries = from.laterEntries;
    to.current = from.current;
    to.playState = from.playState;
    to.positionMillis = from.positionMillis;
    to.lengthSeconds = from.lengthSeconds;
    to.sampleRate = from.sampleRate;
    to.bitrate = from.bitrate;
    to.channels = from.channels;
    to.shuffle = from.shuffle;
    to.repeat = from.repeat;
}

} // namespace tessaranth::host
