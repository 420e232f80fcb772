// Arbitrary D-Bus values as what an MPRIS player says: its properties, its current track's
// metadata, its track list and its position, of any type, length and encoding, in any order.
// The state they make is checked and shown by a running plug-in.
#include "FuzzHost.h"
#include "PlayerStateHost.h"

#include "players/MprisModel.h"

#include <array>
#include <string_view>

namespace {

using tessaranth::host::MprisModel;
using tessaranth::host::MprisValue;
using tessaranth::fuzz::ByteReader;

// Names and texts that mean something to the model, so that the bytes reach past the lookups.
constexpr std::array<std::string_view, 16> words = {
    "mpris:trackid", "xesam:title", "xesam:artist", "xesam:url", "mpris:length", "xesam:audioBitrate",
    "xesam:audioSampleRate", "xesam:audioChannels", "Playing", "Paused", "Track", "Playlist",
    "file:///music/a%20b/%C3%A9t%C3%A9.flac", "/org/mpris/MediaPlayer2/TrackList/NoTrack", "/t/1", "/t/2"};
constexpr std::array<std::string_view, 6> properties = {"Metadata", "PlaybackStatus", "LoopStatus",
                                                         "Shuffle", "Rate", "Position"};

std::string textFrom(ByteReader& reader) {
    const uint8_t length = reader.byte();
    if (length >= 240) return std::string(words[length % words.size()]);
    std::string text(length, '\0');
    text.resize(reader.copy(text.data(), text.size()));
    return text;
}

MprisValue valueFrom(ByteReader& reader, int depth) {
    MprisValue value;
    const uint8_t kind = reader.byte();
    value.kind = static_cast<MprisValue::Kind>(kind % 8);
    switch (value.kind) {
    case MprisValue::Kind::boolean: value.boolean = kind & 8; break;
    case MprisValue::Kind::integer: value.integer = static_cast<int64_t>(static_cast<uint64_t>(reader.word()) << (kind & 32)); break;
    case MprisValue::Kind::large: value.large = static_cast<uint64_t>(reader.word()) << 32 | 0x8000000000000000u; break;
    case MprisValue::Kind::real: {
        double real = 0;
        reader.copy(&real, sizeof real);
        value.real = real;
        break;
    }
    case MprisValue::Kind::text: value.text = textFrom(reader); break;
    case MprisValue::Kind::list:
        for (int n = reader.byte() % 6; n > 0 && depth < 4; --n) value.items.push_back(valueFrom(reader, depth + 1));
        break;
    case MprisValue::Kind::map:
        for (int n = reader.byte() % 8; n > 0 && depth < 4; --n) {
            std::string key = textFrom(reader);
            value.entries.push_back({std::move(key), valueFrom(reader, depth + 1)});
        }
        break;
    case MprisValue::Kind::none: break;
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader reader(data, size);
    MprisModel model;
    for (int step = 0; step < 32 && !reader.empty(); ++step) {
        const uint8_t operation = reader.byte();
        switch (operation % 4) {
        case 0: model.setProperty(properties[(operation >> 2) % properties.size()], valueFrom(reader, 0)); break;
        case 1: model.setTrackList(valueFrom(reader, 0)); break;
        case 2: model.setPosition(valueFrom(reader, 0)); break;
        default: model.dropTrackList(); break;
        }
    }
    const tessaranth::host::PlayerState state = model.state();
    tessaranth::fuzz::checkPlayerState(state);
    if (!state.playlist.empty() && !state.currentEntry()) __builtin_trap();
    tessaranth::fuzz::showPlayerState(state, 3);
    return 0;
}
