#include "players/MpdFollower.h"

#include <mpd/client.h>

#include <cstdio>

namespace tessaranth::host {

namespace {

constexpr unsigned timeoutMillis = 2000;

PlayState playStateOf(mpd_state state) {
    if (state == MPD_STATE_PLAY) return PlayState::playing;
    if (state == MPD_STATE_PAUSE) return PlayState::paused;
    return PlayState::stopped;
}

// A song without tags shows its file name, as a player does.
PlaylistEntry entryOf(const mpd_song* song) {
    const char* uri = mpd_song_get_uri(song);
    const char* artist = mpd_song_get_tag(song, MPD_TAG_ARTIST, 0);
    const char* title = mpd_song_get_tag(song, MPD_TAG_TITLE, 0);
    std::string file = uri ? uri : "";
    if (!title) return {"", file.substr(file.find_last_of('/') + 1), file};
    return {artist ? artist : "", title, file};
}

} // namespace

MpdFollower::MpdFollower(std::string host, uint32_t port, const std::string& fifo)
    : host_(std::move(host)), port_(port), fifo_(fifo.empty() ? nullptr : std::make_unique<FifoAudio>(fifo)) {}

MpdFollower::~MpdFollower() {
    if (connection_) mpd_connection_free(connection_);
}

void MpdFollower::update(int64_t nowMillis) {
    if (!connection_ && nowMillis >= retryAt_) connect(nowMillis);
    if (connection_ && !poll()) disconnect(nowMillis);
    if (fifo_ && fifo_->open()) {
        const bool playing = state_.playState == PlayState::playing;
        if (playing && !wasPlaying_) fifo_->drain();
        else fifo_->read();
        wasPlaying_ = playing;
    }
}

void MpdFollower::connect(int64_t nowMillis) {
    connection_ = mpd_connection_new(host_.empty() ? nullptr : host_.c_str(), port_, timeoutMillis);
    if (connection_ && mpd_connection_get_error(connection_) == MPD_ERROR_SUCCESS) {
        report("connected to MPD");
        queueKnown_ = false;
        return;
    }
    if (connection_) mpd_connection_free(connection_);
    connection_ = nullptr;
    retryAt_ = nowMillis + reconnectMillis;
}

void MpdFollower::disconnect(int64_t nowMillis) {
    report("lost the connection to MPD; reconnecting");
    mpd_connection_free(connection_);
    connection_ = nullptr;
    retryAt_ = nowMillis + reconnectMillis;
    state_ = PlayerState{};
}

bool MpdFollower::poll() {
    mpd_status* status = mpd_run_status(connection_);
    if (!status) return false;
    const unsigned version = mpd_status_get_queue_version(status);
    takeStatus(status);
    mpd_status_free(status);
    if (!queueKnown_ || version != queueVersion_) {
        if (!loadQueue()) return false;
        queueVersion_ = version;
        queueKnown_ = true;
    }
    return true;
}

void MpdFollower::takeStatus(const mpd_status* status) {
    state_.playState = playStateOf(mpd_status_get_state(status));
    state_.positionMillis = static_cast<int32_t>(mpd_status_get_elapsed_ms(status));
    const unsigned total = mpd_status_get_total_time(status);
    state_.lengthSeconds = total > 0 ? static_cast<int32_t>(total) : -1;
    state_.bitrate = static_cast<int32_t>(mpd_status_get_kbit_rate(status));
    const mpd_audio_format* format = mpd_status_get_audio_format(status);
    state_.sampleRate = format ? static_cast<int32_t>(format->sample_rate) : 0;
    if (format && format->channels > 0) state_.channels = format->channels;
    state_.shuffle = mpd_status_get_random(status);
    state_.repeat = mpd_status_get_repeat(status);
    const int position = mpd_status_get_song_pos(status);
    state_.current = position >= 0 ? position : 0;
}

bool MpdFollower::loadQueue() {
    if (!mpd_send_list_queue_meta(connection_)) return false;
    state_.playlist.clear();
    while (mpd_song* song = mpd_recv_song(connection_)) {
        state_.playlist.push_back(entryOf(song));
        mpd_song_free(song);
    }
    return mpd_response_finish(connection_);
}

void MpdFollower::report(const std::string& line) const {
    std::fprintf(stderr, "tessaranth: %s\n", line.c_str());
}

void MpdFollower::audio(AudioBlock& block) {
    block.sampleRate = fifoSampleRate;
    block.channels = 2;
    if (fifo_ && fifo_->isOpen() && state_.playState == PlayState::playing)
        fifo_->latest(block);
    else
        block.silence();
}

} // namespace tessaranth::host
