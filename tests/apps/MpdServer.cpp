// SPDX-License-Identifier: GPL-2.0-or-later
#include "MpdServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaranth::test {

// The kernel picks the port for a socket bound to port 0.
unsigned freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    unsigned port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

MpdServer::MpdServer(const std::vector<TestSong>& songs) {
    std::string pattern = ::testing::TempDir() + "mpd-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        error_ = "cannot make a state folder";
        return;
    }
    folder_ = pattern;
    fifo_ = folder_ + "/mpd.fifo";
    port_ = freePort();
    if (makeSongs(songs)) writeConfiguration();
}

MpdServer::~MpdServer() {
    stop();
    if (!folder_.empty()) runCommand("rm -rf " + shellQuoted(folder_));
}

bool MpdServer::makeSongs(const std::vector<TestSong>& songs) {
    runCommand("mkdir -p " + shellQuoted(folder_ + "/music"));
    for (const TestSong& song : songs) {
        if (!makeTestSong(folder_ + "/music", song)) {
            error_ = "cannot make or tag " + song.file + " with sox and metaflac";
            return false;
        }
        files_.push_back(song.file);
    }
    return true;
}

void MpdServer::writeConfiguration() {
    std::ofstream conf(folder_ + "/mpd.conf");
    conf << "music_directory \"" << folder_ << "/music\"\n"
         << "db_file \"" << folder_ << "/database\"\n"
         << "state_file \"" << folder_ << "/state\"\n"
         << "log_file \"" << folder_ << "/log\"\n"
         << "bind_to_address \"127.0.0.1\"\n"
         << "port \"" << port_ << "\"\n"
         << "zeroconf_enabled \"no\"\n"
         << "max_playlist_length \"200000\"\n"
         << "audio_output {\n  type \"null\"\n  name \"silent\"\n}\n"
         << "audio_output {\n  type \"fifo\"\n  name \"visualisation\"\n  path \"" << fifo_
         << "\"\n  format \"44100:16:2\"\n}\n";
}

bool MpdServer::start() {
    if (!error_.empty()) return false;
    process_.start({"mpd", "--no-daemon", folder_ + "/mpd.conf"}, folder_ + "/output");
    const bool answering = waitFor(10000, [this] {
        mpd_connection* c = connect();
        const bool ok = c && mpd_connection_get_error(c) == MPD_ERROR_SUCCESS;
        if (c) mpd_connection_free(c);
        return ok;
    });
    if (!answering) error_ = "MPD did not answer on port " + std::to_string(port_) + ": " + log();
    return answering;
}

void MpdServer::stop() { process_.stop(); }

mpd_connection* MpdServer::connect() const { return mpd_connection_new("127.0.0.1", port_, 2000); }

bool MpdServer::run(bool (*command)(mpd_connection*)) {
    mpd_connection* c = connect();
    const bool ok = c && command(c);
    if (c) mpd_connection_free(c);
    return ok;
}

bool MpdServer::queueSongs() {
    mpd_connection* c = connect();
    if (!c) return false;
    bool ok = mpd_run_update(c, nullptr) != 0;
    ok = ok && waitFor(10000, [c] {
        mpd_status* status = mpd_run_status(c);
        const bool done = status && mpd_status_get_update_id(status) == 0;
        if (status) mpd_status_free(status);
        return done;
    });
    for (const std::string& file : files_) ok = ok && mpd_run_add(c, file.c_str());
    mpd_connection_free(c);
    if (!ok) error_ = "cannot queue the songs: " + log();
    return ok;
}

std::string MpdServer::log() const {
    std::stringstream text;
    text << std::ifstream(folder_ + "/output").rdbuf() << std::ifstream(folder_ + "/log").rdbuf();
    return text.str();
}

} // namespace tessaranth::test
