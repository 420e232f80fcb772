// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MprisFollower.h"

#include "players/MprisWatcher.h"

#include <fcntl.h>
#include <unistd.h>

namespace tessaranth::host {

MprisFollower::MprisFollower(const std::string& playerName, ContactReport::Sink sink, const std::string& busAddress) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    thread_ = std::thread([this, playerName, busAddress, sink = std::move(sink)]() mutable {
        MprisWatcher(playerName, busAddress, latest_, std::move(sink)).run(stopping_, wake_[0]);
    });
}

MprisFollower::~MprisFollower() {
    stopping_ = true;
    if (wake_[1] >= 0) (void)!write(wake_[1], "x", 1);
    thread_.join();
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

void MprisFollower::update(int64_t) { latest_.update(state_, LatestState::Clock::now()); }

} // namespace tessaranth::host
