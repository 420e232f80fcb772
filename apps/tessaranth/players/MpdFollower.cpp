// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/MpdFollower.h"

#include <mpd/client.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tessaranth::host {

namespace {

// How long one answer of MPD may take before the connection counts as lost.
constexpr unsigned answerMillis = 1500;
// How often the status is read while MPD reports no change (the time needs no reading: the
// frames move it on by the clock, but a frozen MPD shows itself this way).
constexpr int refreshMillis = 1000;

// A count of songs as the player state holds it.
int32_t countWithin(unsigned count) {
    return static_cast<int32_t>(std::min<unsigned>(count, std::numeric_limits<int32_t>::max()));
}

std::string addressOf(const std::string& host, uint32_t port) {
    const char* envHost = std::getenv("MPD_HOST");
    const char* envPort = std::getenv("MPD_PORT");
    std::string name = !host.empty() ? host : envHost && *envHost ? envHost : "localhost";
    if (name.starts_with('/') || name.starts_with('@')) return "MPD at " + name;
    const std::string number = port ? std::to_string(port) : envPort && *envPort ? envPort : "6600";
    return "MPD at " + name + ":" + number;
}

} // namespace

MpdFollower::MpdFollower(std::string host, uint32_t port, ContactReport::Sink sink)
    : host_(std::move(host)), port_(port),
      report_(addressOf(host_, port_), "trying again every second", std::move(sink)) {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    thread_ = std::thread([this] { work(); });
}

MpdFollower::~MpdFollower() {
    stopping_ = true;
    if (wake_[1] >= 0) (void)!write(wake_[1], "x", 1);
    thread_.join();
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

void MpdFollower::update(int64_t) { latest_.update(state_, LatestState::Clock::now()); }

void MpdFollower::work() {
    while (!stopping_) {
        mpd_connection* connection = mpd_connection_new(host_.empty() ? nullptr : host_.c_str(), port_, answerMillis);
        if (!connection) {
            lose("out of memory");
        } else if (mpd_connection_get_error(connection) != MPD_ERROR_SUCCESS) {
            lose(mpd_connection_get_error_message(connection));
        } else {
            report_.reached();
            connected_ = true;
            queueKnown_ = false;
            if (!follow(connection) && !stopping_) lose(mpd_connection_get_error_message(connection));
        }
        if (connection) mpd_connection_free(connection);
        if (!stopping_) waitReadable(-1, reconnectMillis);
    }
}

void MpdFollower::lose(const char* reason) {
    connected_ = false;
    report_.failed(reason);
    heard_ = {PlayerState{}, LatestState::Clock::now(), 1};
    latest_.publish(heard_);
}

bool MpdFollower::follow(mpd_connection* connection) {
    while (!stopping_) {
        if (!refresh(connection) || !waitForChange(connection)) return false;
    }
    return true;
}

bool MpdFollower::refresh(mpd_connection* connection) {
    mpd_status* status = mpd_run_status(connection);
    if (!status) return false;
    const unsigned version = mpd_status_get_queue_version(status);
    const unsigned length = mpd_status_get_queue_length(status);
    heard_.positionTime = LatestState::Clock::now();
    takeStatus(status, heard_.state);
    mpd_status_free(status);
    const bool unchanged = queueKnown_ && version == queueVersion_;
    if (!unchanged || !partServes(part_, static_cast<unsigned>(heard_.state.current), length)) {
        if (!readQueue(connection, length)) return false;
        queueVersion_ = version;
    }
    heard_.state.firstEntry = countWithin(part_.start);
    heard_.state.laterEntries = countWithin(length > part_.end ? length - part_.end : 0);
    latest_.publish(heard_);
    return true;
}

// A queue that changed between the status and the reading of it is read again at the next
// refresh; MPD's complaint about a part that is no longer there loses no contact.
bool MpdFollower::readQueue(mpd_connection* connection, unsigned length) {
    queueKnown_ = loadQueue(connection, queuePartAround(static_cast<unsigned>(heard_.state.current), length));
    if (queueKnown_ || mpd_connection_get_error(connection) != MPD_ERROR_SERVER) return queueKnown_;
    return mpd_connection_clear_error(connection);
}

bool MpdFollower::loadQueue(mpd_connection* connection, QueuePart part) {
    std::vector<PlaylistEntry>& playlist = heard_.state.playlist;
    playlist.clear();
    part_ = {part.start, part.start};
    if (part.start == part.end) return true;
    if (!mpd_send_list_queue_range_meta(connection, part.start, part.end)) return false;
    while (mpd_song* song = mpd_recv_song(connection)) {
        if (playlist.size() < mostPlaylistEntries) playlist.push_back(entryOfSong(song));
        mpd_song_free(song);
    }
    part_.end = part.start + static_cast<unsigned>(playlist.size());
    return mpd_response_finish(connection);
}

// Idle mode until MPD reports a change of the player, the queue or the modes, or the refresh is
// due (then noidle ends it).
bool MpdFollower::waitForChange(mpd_connection* connection) {
    if (!mpd_send_idle_mask(connection, static_cast<mpd_idle>(MPD_IDLE_PLAYER | MPD_IDLE_QUEUE | MPD_IDLE_OPTIONS)))
        return false;
    const bool changed = waitReadable(mpd_connection_get_fd(connection), refreshMillis);
    if (stopping_) return true;
    if (!changed && !mpd_send_noidle(connection)) return false;
    mpd_recv_idle(connection, false);
    return mpd_connection_get_error(connection) == MPD_ERROR_SUCCESS;
}

bool MpdFollower::waitReadable(int fd, int millis) const {
    pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd, POLLIN, 0}};
    const int count = poll(fds, fd >= 0 ? 2 : 1, millis);
    return count > 0 && fd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR));
}

} // namespace tessaranth::host
