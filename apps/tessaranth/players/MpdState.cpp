// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MpdState.h"

#include "players/TrackText.h"

#include <mpd/client.h>

#include <algorithm>
#include <limits>

namespace tessaranth::host {

namespace {

PlayState playStateOf(mpd_state state) {
    if (state == MPD_STATE_PLAY) return PlayState::playing;
    if (state == MPD_STATE_PAUSE) return PlayState::paused;
    return PlayState::stopped;
}

int32_t clamped(uint64_t value) {
    return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

} // namespace

PlaylistEntry entryOfSong(const mpd_song* song) {
    const char* uri = mpd_song_get_uri(song);
    const char* artist = mpd_song_get_tag(song, MPD_TAG_ARTIST, 0);
    const char* title = mpd_song_get_tag(song, MPD_TAG_TITLE, 0);
    PlaylistEntry entry;
    entry.fileName = displayText(uri ? uri : "");
    entry.artist = displayText(artist && title ? artist : "");
    entry.title = title ? displayText(title) : std::string(fileNameOf(entry.fileName));
    return entry;
}

void takeStatus(const mpd_status* status, PlayerState& state) {
    state.playState = playStateOf(mpd_status_get_state(status));
    state.positionMillis = clamped(mpd_status_get_elapsed_ms(status));
    const unsigned total = mpd_status_get_total_time(status);
    state.lengthSeconds = total > 0 ? clamped(total) : -1;
    state.bitrate = clamped(mpd_status_get_kbit_rate(status));
    const mpd_audio_format* format = mpd_status_get_audio_format(status);
    state.sampleRate = format ? clamped(format->sample_rate) : 0;
    if (format && format->channels > 0) state.channels = format->channels;
    state.shuffle = mpd_status_get_random(status);
    state.repeat = mpd_status_get_repeat(status);
    const int position = mpd_status_get_song_pos(status);
    state.current = position >= 0 ? position : 0;
}

QueuePart queuePartAround(unsigned current, unsigned length) {
    constexpr unsigned most = mostPlaylistEntries;
    if (length <= most) return {0, length};
    const unsigned start = std::min(current > most / 2 ? current - most / 2 : 0u, length - most);
    return {start, start + most};
}

bool partServes(QueuePart part, unsigned current, unsigned length) {
    constexpr unsigned margin = mostPlaylistEntries / 4;
    const bool roomBefore = part.start == 0 || current >= part.start + margin;
    const bool roomAfter = part.end >= length || current + margin < part.end;
    return roomBefore && roomAfter;
}

} // namespace tessaranth::host
