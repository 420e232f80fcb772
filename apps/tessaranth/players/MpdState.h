// What MPD's answers mean for the player state: a song of the queue becomes a playlist entry,
// a status the play state, time, format and modes. Functions of the answers alone, so they can
// be tested and fuzzed without an MPD.
#pragma once

#include "players/PlayerState.h"

struct mpd_song;
struct mpd_status;

namespace tessaranth::host {

// A song without a title shows its file name, as a player does.
PlaylistEntry entryOfSong(const mpd_song* song);

// Everything of the status but the playlist.
void takeStatus(const mpd_status* status, PlayerState& state);

} // namespace tessaranth::host
