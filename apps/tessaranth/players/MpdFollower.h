// SPDX-License-Identifier: GPL-2.0-or-later
// Follows a Music Player Daemon on a thread of its own: play state, current song, time, audio
// format, bitrate, queue, random and repeat, read when MPD tells of a change (idle mode) and once
// a second besides; reconnects once a second while MPD is away. Of a long queue it reads and
// passes on the part around the current song (mostPlaylistEntries songs). A frame only takes the
// newest state, so a slow, frozen or missing MPD never holds the frames up.
#pragma once

#include "ContactReport.h"
#include "players/LatestState.h"
#include "players/MpdState.h"
#include "players/PlayerSource.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

struct mpd_connection;

namespace tessaranth::host {

constexpr int reconnectMillis = 1000;

class MpdFollower : public PlayerSource {
public:
    // host empty / port 0: libmpdclient's defaults (MPD_HOST, MPD_PORT, else localhost:6600).
    // sink: where the reports of lost and regained contact go (stderr when empty).
    MpdFollower(std::string host, uint32_t port, ContactReport::Sink sink = {});
    ~MpdFollower() override;
    MpdFollower(const MpdFollower&) = delete;
    MpdFollower& operator=(const MpdFollower&) = delete;

    void update(int64_t nowMillis) override;
    const PlayerState& state() const override { return state_; }
    bool connected() const { return connected_; }

private:
    void work();
    bool follow(mpd_connection* connection);
    bool refresh(mpd_connection* connection);
    bool readQueue(mpd_connection* connection, unsigned length);
    bool loadQueue(mpd_connection* connection, QueuePart part);
    bool waitForChange(mpd_connection* connection);
    void lose(const char* reason);
    // Waits for `fd` to become readable (or only for the stop with -1); false on the time-out.
    bool waitReadable(int fd, int millis) const;

    std::string host_;
    uint32_t port_;
    ContactReport report_;
    LatestState latest_;
    PlayerState state_;              // the frame thread's
    LatestState::Snapshot heard_;    // the follower thread's
    unsigned queueVersion_ = 0;
    QueuePart part_;                 // of the queue, the part read
    bool queueKnown_ = false;
    std::atomic<bool> connected_ = false;
    std::atomic<bool> stopping_ = false;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

} // namespace tessaranth::host
