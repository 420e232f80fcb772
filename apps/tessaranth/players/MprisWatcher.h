// SPDX-License-Identifier: GPL-2.0-or-later
// The D-Bus side of following MPRIS players, on the thread that runs it: watches the bus for
// org.mpris.MediaPlayer2.* names, reads each player's properties and listens to their changes,
// picks the player to follow, polls its position, reads its track list (once for a burst of
// signals that change it), and publishes the followed player's state. Reconnects once a second
// while the bus is away.
#pragma once

#include "ContactReport.h"
#include "players/BusConnection.h"
#include "players/LatestState.h"
#include "players/MprisPlayer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaranth::host {

class MprisWatcher {
public:
    // playerName: follow org.mpris.MediaPlayer2.<playerName> (and its instances) only; empty:
    // the one that plays. busAddress: empty for the session bus.
    MprisWatcher(std::string playerName, std::string busAddress, LatestState& latest, ContactReport::Sink sink);

    // Follows the players until `stopping` is set; wakeFd (-1: none) becoming readable ends a
    // wait at once.
    void run(const std::atomic<bool>& stopping, int wakeFd);

private:
    using Clock = std::chrono::steady_clock;
    using Question = MprisPlayer::Question;

    void connectBus();
    void tick();
    void subscribe();
    void heard(const BusMessage& signal);
    void nameOwnerChanged(const BusMessage& signal);
    void addPlayer(const std::string& name, const std::string& owner);
    void removePlayer(const std::string& name);
    bool wanted(const std::string& name) const;
    void choose();
    void publish();
    // Does what the player's last words need.
    void act(const std::string& name, const MprisPlayer::Needs& needs);
    void readProperties(const std::string& name);
    void readDueTrackLists();
    void readTrackList(const std::string& name);
    void askMetadata(const std::string& name);
    void askPosition(const std::string& name);
    // Asks the player `name` (GetTracksMetadata with trackIds); the answer goes to the player, if
    // it is still there.
    bool ask(const std::string& name, Question question, std::optional<std::vector<std::string>> trackIds = {});
    // The next tick, or sooner when a track list is due.
    Clock::time_point nextWake(Clock::time_point tick) const;
    void say(const std::string& line) const;
    void sayAbsent();

    std::string playerName_;
    std::string busAddress_;
    LatestState& latest_;
    ContactReport::Sink sink_;
    ContactReport busReport_;
    bool absenceSaid_ = false;
    std::map<std::string, MprisPlayer> players_;
    std::string followed_;
    uint64_t nextOrder_ = 0;
    bool namesKnown_ = false;
    std::unique_ptr<BusConnection> bus_;
};

} // namespace tessaranth::host
