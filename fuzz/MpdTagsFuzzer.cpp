// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary MPD answers: songs of the queue (file, tags, times) and a status, each as the name and
// value pairs libmpdclient reads off the connection. The state they make is checked and shown by
// a running plug-in.
#include "FuzzHost.h"
#include "PlayerStateHost.h"

#include "players/MpdState.h"

#include <mpd/client.h>

#include <array>
#include <string>

namespace {

using tessaranth::fuzz::ByteReader;

constexpr std::array<const char*, 20> names = {
    "file", "Title", "Artist", "Album", "Time", "duration", "Pos", "Id", "Format", "Last-Modified",
    "state", "elapsed", "time", "bitrate", "audio", "random", "repeat", "song", "playlist", "volume"};

struct Pair {
    std::string name;
    std::string value;
    mpd_pair pair() const { return {name.c_str(), value.c_str()}; }
};

std::string textFrom(ByteReader& reader) {
    std::string text(reader.byte(), '\0');
    text.resize(reader.copy(text.data(), text.size()));
    return text.c_str();  // a line of the protocol ends at its first NUL
}

Pair pairFrom(ByteReader& reader) {
    const uint8_t choice = reader.byte();
    return {choice < 200 ? names[choice % names.size()] : textFrom(reader), textFrom(reader)};
}

void readSong(ByteReader& reader, tessaranth::host::PlayerState& state) {
    const Pair file{"file", textFrom(reader)};
    const mpd_pair first = file.pair();
    mpd_song* song = mpd_song_begin(&first);
    if (!song) return;
    for (int n = reader.byte() % 8; n > 0; --n) {
        const Pair pair = pairFrom(reader);
        const mpd_pair raw = pair.pair();
        if (!mpd_song_feed(song, &raw)) break;  // the song ends here, as on the connection
    }
    state.playlist.push_back(tessaranth::host::entryOfSong(song));
    mpd_song_free(song);
}

void readStatus(ByteReader& reader, tessaranth::host::PlayerState& state) {
    mpd_status* status = mpd_status_begin();
    if (!status) return;
    for (int n = reader.byte() % 12; n > 0; --n) {
        const Pair pair = pairFrom(reader);
        const mpd_pair raw = pair.pair();
        mpd_status_feed(status, &raw);
    }
    tessaranth::host::takeStatus(status, state);
    mpd_status_free(status);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader reader(data, size);
    tessaranth::host::PlayerState state;
    for (int songs = reader.byte() % 6; songs > 0; --songs) readSong(reader, state);
    readStatus(reader, state);
    tessaranth::fuzz::checkPlayerState(state);
    tessaranth::fuzz::showPlayerState(state, 3);
    return 0;
}
