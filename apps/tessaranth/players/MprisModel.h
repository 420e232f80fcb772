// SPDX-License-Identifier: GPL-2.0-or-later
// What one MPRIS player has said about itself (org.mpris.MediaPlayer2.Player's properties, its
// track list where it has one, its position) and the PlayerState that makes. Takes values of any
// type: what does not have the type MPRIS gives a property counts as not said.
#pragma once

#include "players/MprisValue.h"
#include "players/PlayerState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth::host {

// One track as its metadata (a{sv}) describes it.
struct MprisTrack {
    std::string id;  // mpris:trackid
    PlaylistEntry entry;
    int32_t lengthSeconds = -1;
    int32_t sampleRate = 0;  // Hz
    int32_t bitrate = 0;     // kbit/s
    int32_t channels = 0;
    bool known = false;      // the metadata names a track at all
};

MprisTrack trackOf(const MprisValue& metadata);

class MprisModel {
public:
    // A property of org.mpris.MediaPlayer2.Player, from GetAll or PropertiesChanged.
    void setProperty(std::string_view name, const MprisValue& value);
    // The track list's tracks in order: GetTracksMetadata's answer, a list of metadata maps.
    void setTrackList(const MprisValue& metadataList);
    void dropTrackList() { tracks_.clear(); }
    // Position (or the Seeked signal's value), in microseconds.
    void setPosition(const MprisValue& micros);

    bool playing() const { return playState_ == PlayState::playing; }
    // How fast the position moves while playing (1 is real time).
    double rate() const { return rate_; }
    int32_t positionMillis() const { return positionMillis_; }
    void setPositionMillis(int32_t millis) { positionMillis_ = millis; }
    PlayerState state() const;

private:
    MprisTrack current_;
    std::vector<MprisTrack> tracks_;
    PlayState playState_ = PlayState::stopped;
    bool shuffle_ = false;
    bool repeat_ = false;
    double rate_ = 1;
    int32_t positionMillis_ = 0;
};

} // namespace tessaranth::host
