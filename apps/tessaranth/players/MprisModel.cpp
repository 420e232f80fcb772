// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MprisModel.h"

#include "players/TrackText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tessaranth::host {

namespace {

constexpr std::string_view noTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

const std::string* textOf(const MprisValue* value) {
    return value && value->kind == MprisValue::Kind::text ? &value->text : nullptr;
}

std::optional<int64_t> integerOf(const MprisValue* value) {
    if (!value) return std::nullopt;
    switch (value->kind) {
    case MprisValue::Kind::integer: return value->integer;
    case MprisValue::Kind::large: return std::numeric_limits<int64_t>::max();
    case MprisValue::Kind::real:
        // Some players send their numbers as doubles.
        if (!std::isfinite(value->real)) return std::nullopt;
        if (std::fabs(value->real) >= 9.2e18) return value->real > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
        return static_cast<int64_t>(value->real);
    default: return std::nullopt;
    }
}

int32_t clamped(int64_t value, int64_t lowest, int64_t highest) {
    return static_cast<int32_t>(std::clamp(value, lowest, highest));
}

// xesam:artist is a list of names; some players send one name as a plain string.
std::string artistOf(const MprisValue* value) {
    if (const std::string* single = textOf(value)) return displayText(*single);
    if (!value || value->kind != MprisValue::Kind::list) return {};
    std::string joined;
    for (const MprisValue& item : value->items) {
        const std::string* name = textOf(&item);
        if (!name || name->empty()) continue;
        if (!joined.empty()) joined += ", ";
        joined += *name;
        if (joined.size() >= longestTrackText) break;
    }
    return displayText(joined);
}

// The name the playlist view shows: it drops the last four characters as an extension and keeps
// what follows the last slash, so a track without a file gets a stand-in extension and no slashes.
// Like every text a player source passes on, it is no longer than longestTrackText.
std::string standInFileName(const PlaylistEntry& entry) {
    constexpr std::string_view extension = ".---";
    std::string name = entry.artist.empty() ? entry.title : entry.artist + " - " + entry.title;
    name.resize(std::min(name.size(), longestTrackText - extension.size()));
    for (char& c : name)
        if (c == '/' || c == '\\') c = '-';
    return name.append(extension);
}

} // namespace

MprisTrack trackOf(const MprisValue& metadata) {
    MprisTrack track;
    if (const std::string* id = textOf(metadata.find("mpris:trackid"))) track.id = *id;
    const std::string* title = textOf(metadata.find("xesam:title"));
    const std::string* url = textOf(metadata.find("xesam:url"));
    track.entry.artist = artistOf(metadata.find("xesam:artist"));
    track.entry.fileName = url ? pathOfUrl(*url) : std::string();
    track.entry.title = title && !title->empty() ? displayText(*title) : std::string(fileNameOf(track.entry.fileName));
    if (!url || url->empty()) track.entry.fileName = standInFileName(track.entry);
    track.known = (!track.id.empty() && track.id != noTrack) || (title && !title->empty()) || (url && !url->empty());
    if (const auto micros = integerOf(metadata.find("mpris:length")); micros && *micros > 0)
        track.lengthSeconds = clamped(*micros / 1000000, 0, std::numeric_limits<int32_t>::max());
    if (const auto hz = integerOf(metadata.find("xesam:audioSampleRate")); hz && *hz > 0)
        track.sampleRate = clamped(*hz, 0, 10000000);
    // Bits per second by the ontology; a small number can only be kbit/s.
    if (const auto bits = integerOf(metadata.find("xesam:audioBitrate")); bits && *bits > 0)
        track.bitrate = clamped(*bits >= 10000 ? *bits / 1000 : *bits, 0, 1000000);
    if (const auto channels = integerOf(metadata.find("xesam:audioChannels")); channels && *channels > 0)
        track.channels = clamped(*channels, 0, 64);
    return track;
}

void MprisModel::setProperty(std::string_view name, const MprisValue& value) {
    const std::string* text = textOf(&value);
    if (name == "Metadata") {
        current_ = trackOf(value);
    } else if (name == "PlaybackStatus" && text) {
        playState_ = *text == "Playing" ? PlayState::playing : *text == "Paused" ? PlayState::paused : PlayState::stopped;
    } else if (name == "LoopStatus" && text) {
        repeat_ = *text == "Track" || *text == "Playlist";
    } else if (name == "Shuffle" && value.kind == MprisValue::Kind::boolean) {
        shuffle_ = value.boolean;
    } else if (name == "Rate" && value.kind == MprisValue::Kind::real) {
        rate_ = std::isfinite(value.real) && value.real > 0 && value.real <= 1000 ? value.real : 1;
    } else if (name == "Position") {
        setPosition(value);
    }
}

void MprisModel::setPosition(const MprisValue& micros) {
    if (const auto value = integerOf(&micros))
        positionMillis_ = clamped(*value / 1000, 0, std::numeric_limits<int32_t>::max());
}

void MprisModel::setTrackList(const MprisValue& metadataList) {
    tracks_.clear();
    if (metadataList.kind != MprisValue::Kind::list) return;
    for (const MprisValue& metadata : metadataList.items) {
        if (tracks_.size() == mostPlaylistEntries) break;
        MprisTrack track = trackOf(metadata);
        if (track.known) tracks_.push_back(std::move(track));
    }
}

PlayerState MprisModel::state() const {
    PlayerState s;
    s.playState = current_.known ? playState_ : PlayState::stopped;
    s.shuffle = shuffle_;
    s.repeat = repeat_;
    s.positionMillis = positionMillis_;
    s.lengthSeconds = current_.lengthSeconds;
    s.sampleRate = current_.sampleRate;
    s.bitrate = current_.bitrate;
    s.channels = current_.channels;
    if (!current_.known) return s;
    for (std::size_t i = 0; i < tracks_.size() && !current_.id.empty(); ++i) {
        if (tracks_[i].id != current_.id) continue;
        for (const MprisTrack& track : tracks_) s.playlist.push_back(track.entry);
        s.playlist[i] = current_.entry;  // the current metadata may be newer than the list's
        s.current = static_cast<int32_t>(i);
        return s;
    }
    s.playlist.push_back(current_.entry);
    return s;
}

} // namespace tessaranth::host
