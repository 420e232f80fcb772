// Follows a Music Player Daemon: its play state, current song, time, audio format, bitrate,
// queue, random and repeat, polled at every frame; reconnects once a second while it is away.
// The audio comes from its FIFO output when one is given.
#pragma once

#include "audio/FifoAudio.h"
#include "players/PlayerSource.h"

#include <cstdint>
#include <memory>
#include <string>

struct mpd_connection;
struct mpd_status;

namespace tessaranth::host {

constexpr int64_t reconnectMillis = 1000;
// The FIFO output's audio format must be "44100:16:2".
constexpr int32_t fifoSampleRate = 44100;

class MpdFollower : public PlayerSource {
public:
    // host empty / port 0: libmpdclient's defaults. fifo empty: no audio, the analysis gets silence.
    MpdFollower(std::string host, uint32_t port, const std::string& fifo);
    ~MpdFollower() override;

    void update(int64_t nowMillis) override;
    const PlayerState& state() const override { return state_; }
    void audio(AudioBlock& block) override;
    bool connected() const { return connection_ != nullptr; }

private:
    void connect(int64_t nowMillis);
    void disconnect(int64_t nowMillis);
    bool poll();
    void takeStatus(const mpd_status* status);
    bool loadQueue();
    void report(const std::string& line) const;

    std::string host_;
    uint32_t port_;
    mpd_connection* connection_ = nullptr;
    int64_t retryAt_ = 0;
    unsigned queueVersion_ = 0;
    bool queueKnown_ = false;
    bool wasPlaying_ = false;
    PlayerState state_;
    std::unique_ptr<FifoAudio> fifo_;
};

} // namespace tessaranth::host
