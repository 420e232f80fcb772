// SPDX-License-Identifier: GPL-2.0-or-later
// A private desktop for one test program: its own XDG_RUNTIME_DIR and HOME, a dbus-daemon with
// no service directories (nothing gets activated), a sound server whose default sink is a null
// sink "test" (PipeWire with WirePlumber and pipewire-pulse, or PulseAudio), libpulse's clients
// told never to start a server, and mpv with its MPRIS script. The environment of the test
// process points at all of it. Every process is the test's child, stopped by its id.
#pragma once

#include "ChildProcess.h"
#include "TestSongs.h"

#include <string>
#include <vector>

namespace tessaranth::test {

class DesktopWorld {
public:
    enum class SoundServer { pipewire, pulseaudio };

    // Makes the world and starts the bus and the sound server; check error().
    explicit DesktopWorld(SoundServer server);
    ~DesktopWorld();
    DesktopWorld(const DesktopWorld&) = delete;
    DesktopWorld& operator=(const DesktopWorld&) = delete;

    const std::string& error() const { return error_; }
    const std::string& folder() const { return folder_; }
    SoundServer soundServer() const { return soundServer_; }

    // Starts another dbus-daemon like the session bus, listening on `socket`; false when it does
    // not answer.
    bool startBus(ChildProcess& bus, const std::string& socket);

    bool startSoundServer();
    void stopSoundServer();
    // Stops the sound server's processes where they stand (SIGSTOP): its clients' reads wait.
    // stopSoundServer ends them.
    void freezeSoundServer();

    // Makes the songs in the world's music folder; returns their paths.
    std::vector<std::string> makeSongs(const std::vector<TestSong>& songs);
    // Starts mpv, paused, with these files as its playlist, and waits for it on the bus.
    bool startMpv(const std::vector<std::string>& files);
    void stopMpv() { mpv_.stop(); }
    ChildProcess& mpv() { return mpv_; }
    // Calls a method of mpv's org.mpris.MediaPlayer2.Player with dbus-send's typed arguments
    // ("int64:3000000"); false when it fails.
    bool control(const std::string& method, const std::string& arguments = "");

    // Everything the world's programs wrote, for failure messages.
    std::string logs() const;

private:
    void writeFiles();
    bool startBus();
    std::vector<std::string> soundServerCommand() const;

    SoundServer soundServer_;
    std::string folder_;
    std::string error_;
    ChildProcess bus_;
    ChildProcess sound_[3];  // the server, and with PipeWire its session manager and pulse server
    ChildProcess mpv_;
};

// The world of this test program.
DesktopWorld& desktop();

} // namespace tessaranth::test
