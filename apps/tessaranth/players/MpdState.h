// SPDX-License-Identifier: GPL-2.0-or-later
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

// The part of MPD's queue (positions start to end, the end excluded) that is passed on: the
// whole of a queue of at most mostPlaylistEntries songs, else that many around the current one.
struct QueuePart {
    unsigned start = 0;
    unsigned end = 0;
    bool operator==(const QueuePart&) const = default;
};
QueuePart queuePartAround(unsigned current, unsigned length);
// Whether the part loaded from an unchanged queue still serves: the current song lies at least a
// quarter of the most entries away from each of its edges that is not an end of the queue, so
// that every line a playlist view shows around it comes from the part.
bool partServes(QueuePart part, unsigned current, unsigned length);

} // namespace tessaranth::host
