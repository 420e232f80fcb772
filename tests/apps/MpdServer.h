// SPDX-License-Identifier: GPL-2.0-or-later
// A Music Player Daemon of the test's own: a fresh state folder, songs made with sox and tagged
// with metaflac, a free port on 127.0.0.1, a null output and a FIFO output, room for a queue of
// 200,000 songs; started with --no-daemon and stopped by its process id.
#pragma once

#include "ChildProcess.h"
#include "TestSongs.h"
#include "Waiting.h"

#include <mpd/client.h>

#include <string>
#include <sys/types.h>
#include <vector>

namespace tessaranth::test {

// A port on 127.0.0.1 that nobody listens on now.
unsigned freePort();

class MpdServer {
public:
    // Makes the songs and the configuration; check error() before use.
    explicit MpdServer(const std::vector<TestSong>& songs);
    ~MpdServer();
    MpdServer(const MpdServer&) = delete;
    MpdServer& operator=(const MpdServer&) = delete;

    // Starts MPD and waits until it answers; false with error() set when it does not.
    bool start();
    // Stops MPD (SIGTERM, then SIGKILL) and waits for it.
    void stop();
    // Scans the music folder and queues every song in order.
    bool queueSongs();

    // A fresh client connection (the caller frees it).
    mpd_connection* connect() const;
    // Runs one command on a fresh connection; false when it fails.
    bool run(bool (*command)(mpd_connection*));

    unsigned port() const { return port_; }
    pid_t pid() const { return process_.pid(); }
    const std::string& fifo() const { return fifo_; }
    const std::string& folder() const { return folder_; }
    const std::string& error() const { return error_; }
    std::string log() const;

private:
    bool makeSongs(const std::vector<TestSong>& songs);
    void writeConfiguration();

    std::string folder_;
    std::string fifo_;
    std::string error_;
    unsigned port_ = 0;
    ChildProcess process_;
    std::vector<std::string> files_;
};


} // namespace tessaranth::test
