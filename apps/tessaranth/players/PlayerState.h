// What a player reports about itself: the current song, the playlist and the play state.
// The player sources fill it; the player window answers the plug-in's questions from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::host {

enum class PlayState : int32_t { stopped = 0, playing = 1, paused = 3 };

struct PlaylistEntry {
    std::string artist;
    std::string title;
    std::string fileName;
};

struct PlayerState {
    std::vector<PlaylistEntry> playlist;
    int32_t current = 0;            // index into playlist; ignored when the playlist is empty
    PlayState playState = PlayState::stopped;
    int32_t positionMillis = 0;
    int32_t lengthSeconds = -1;     // -1: unknown
    int32_t sampleRate = 0;         // Hz; 0: none
    int32_t bitrate = 0;            // kbit/s; 0: none
    int32_t channels = 2;
    bool shuffle = false;
    bool repeat = false;

    const PlaylistEntry* currentEntry() const {
        if (current < 0 || static_cast<std::size_t>(current) >= playlist.size()) return nullptr;
        return &playlist[static_cast<std::size_t>(current)];
    }
};

} // namespace tessaranth::host
