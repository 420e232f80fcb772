// SPDX-License-Identifier: GPL-2.0-or-later
// One MPRIS player as its follower knows it: what it said (an MprisModel), its position's clock,
// whether it answers, and how far the reading of its track list is. It takes in the player's
// signals and the answers to the follower's questions, as they come off the bus, and says what
// the follower should ask next; the bus itself is the follower's (MprisWatcher).
#pragma once

#include "ContactReport.h"
#include "players/DBusValue.h"
#include "players/LatestState.h"
#include "players/MprisModel.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

class MprisPlayer {
public:
    using Clock = std::chrono::steady_clock;

    // What the follower asks a player (each answer goes to answer() with its question).
    enum class Question { properties, hasTrackList, tracks, tracksMetadata, position };

    // What the follower should do after the player said something.
    struct Needs {
        bool properties = false;  // read all the properties again
        bool trackList = false;   // read the track list again (once for a burst of signals)
        bool trackMetadata = false;  // ask for the metadata of trackIds()
        bool position = false;    // ask for the position
        bool choice = false;      // choose the player to follow again (whether it plays changed)
        bool changed = false;     // its state changed: publish it if it is the followed one
    };

    // The call that asks a player `question`; its destination is the player's name, and
    // GetTracksMetadata's track ids are trackIds().
    static BusCall callFor(Question question);

    // report: says when the player stops and starts answering.
    MprisPlayer(std::string owner, uint64_t order, ContactReport report);

    // A signal of the player: PropertiesChanged, Seeked, or one of the TrackList interface's.
    Needs hear(const BusMessage& signal);
    // An answer (or the error) to one of the follower's questions.
    Needs answer(Question question, const BusMessage& reply);

    // The track ids the last answer to `tracks` named, to ask for their metadata: at most
    // mostPlaylistEntries, each a valid object path.
    const std::vector<std::string>& trackIds() const { return trackIds_; }
    // The track list is wanted again from `when` on; a later wish keeps the earlier time.
    void wantTrackList(Clock::time_point when);
    // When the track list should be read, if it should: it is not being read now.
    std::optional<Clock::time_point> trackListDue() const;
    void startTrackListRead();
    void endTrackListRead() { readingTrackList_ = false; }

    // The follower asks for the position once at a time.
    bool positionAsked() const { return positionAsked_; }
    void askedPosition() { positionAsked_ = true; }

    const std::string& owner() const { return owner_; }
    void setOwner(std::string owner) { owner_ = std::move(owner); }
    uint64_t order() const { return order_; }
    bool playing() const { return model_.playing(); }
    LatestState::Snapshot snapshot() const;

private:
    Needs heardProperties(const BusMessage& signal);
    void takeProperties(const MprisValue& properties);
    void takeTrackIds(const MprisValue& tracks);
    void takePosition(const BusMessage& reply);
    // Folds the time played since the last position into it before the rate or state changes.
    void settlePosition();

    std::string owner_;
    uint64_t order_;
    ContactReport report_;
    MprisModel model_;
    Clock::time_point positionTime_ = Clock::now();
    bool answering_ = true;
    bool positionAsked_ = false;
    std::vector<std::string> trackIds_;
    std::optional<Clock::time_point> trackListWanted_;
    bool readingTrackList_ = false;
};

} // namespace tessaranth::host
