// Follows a desktop player over MPRIS: the D-Bus side (MprisWatcher) runs on a Qt event loop in
// a thread of its own and publishes the followed player's state; a frame only takes the newest.
// Needs a QCoreApplication (or QApplication) to exist.
#pragma once

#include "ContactReport.h"
#include "players/LatestState.h"
#include "players/PlayerSource.h"

#include <memory>
#include <string>

class QThread;

namespace tessaranth::host {

class MprisWatcher;

class MprisFollower : public PlayerSource {
public:
    // playerName: empty: the player that plays, else the first; else org.mpris.MediaPlayer2.<name>
    // or an instance of it. busAddress: empty for the session bus. sink: where the reports go.
    explicit MprisFollower(const std::string& playerName, ContactReport::Sink sink = {},
                           const std::string& busAddress = {});
    ~MprisFollower() override;
    MprisFollower(const MprisFollower&) = delete;
    MprisFollower& operator=(const MprisFollower&) = delete;

    void update(int64_t nowMillis) override;
    const PlayerState& state() const override { return state_; }

private:
    LatestState latest_;
    PlayerState state_;  // the frame thread's
    std::unique_ptr<QThread> thread_;
};

} // namespace tessaranth::host
