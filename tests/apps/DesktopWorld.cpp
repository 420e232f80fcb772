// SPDX-License-Identifier: GPL-2.0-or-later
#include "DesktopWorld.h"

#include "Waiting.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaranth::test {

namespace {

// Quietly: the tests wait for these to succeed.
bool quietly(const std::string& command) { return runCommand(command + " >/dev/null 2>&1"); }

bool socketAnswers(const std::string& path) {
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool connected = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return connected;
}

} // namespace

DesktopWorld::DesktopWorld(SoundServer server) : soundServer_(server) {
    std::string pattern = ::testing::TempDir() + "desktop-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        error_ = "cannot make the world's folder";
        return;
    }
    folder_ = pattern;
    writeFiles();
    if (startBus()) startSoundServer();
}

DesktopWorld::~DesktopWorld() {
    mpv_.stop();
    stopSoundServer();
    bus_.stop();
    if (!folder_.empty() && !std::getenv("TESSARANTH_KEEP_WORLD")) std::filesystem::remove_all(folder_);
}

void DesktopWorld::writeFiles() {
    for (const char* sub : {"/run", "/home", "/music", "/logs"}) std::filesystem::create_directories(folder_ + sub);
    chmod((folder_ + "/run").c_str(), 0700);  // XDG_RUNTIME_DIR must be the user's alone
    std::ofstream(folder_ + "/bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n  <type>session</type>\n  <listen>unix:path="
        << folder_ << "/run/bus</listen>\n  <auth>EXTERNAL</auth>\n"
        << "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
    // No client may start a server that nobody would stop.
    std::ofstream(folder_ + "/client.conf") << "autospawn = no\n";
    setenv("XDG_RUNTIME_DIR", (folder_ + "/run").c_str(), 1);
    setenv("HOME", (folder_ + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder_ + "/home/.config").c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + folder_ + "/run/bus").c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", (folder_ + "/client.conf").c_str(), 1);
    unsetenv("PULSE_SERVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

bool DesktopWorld::startBus() {
    if (startBus(bus_, folder_ + "/run/bus")) return true;
    error_ = "the dbus-daemon did not start: " + logs();
    return false;
}

bool DesktopWorld::startBus(ChildProcess& bus, const std::string& socket) {
    bus.start({"dbus-daemon", "--config-file=" + folder_ + "/bus.conf", "--address=unix:path=" + socket, "--nofork"},
              folder_ + "/logs/dbus");
    return waitFor(5000, [&socket] { return socketAnswers(socket); });
}

bool DesktopWorld::startSoundServer() {
    const std::string log = folder_ + "/logs/sound";
    if (soundServer_ == SoundServer::pulseaudio) {
        sound_[0].start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                         "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=test"},
                        log);
    } else {
        // Without WirePlumber PipeWire links nothing, and players stall; it gives up when PipeWire
        // does not answer yet.
        sound_[0].start({"pipewire"}, log);
        if (!waitFor(5000, [this] { return socketAnswers(folder_ + "/run/pipewire-0"); })) {
            error_ = "PipeWire did not start: " + logs();
            return false;
        }
        sound_[1].start({"wireplumber"}, log);
        sound_[2].start({"pipewire-pulse"}, log);
    }
    if (!waitFor(10000, [] { return quietly("pactl info"); })) {
        error_ = "the sound server did not answer: " + logs();
        return false;
    }
    if (soundServer_ == SoundServer::pipewire && !quietly("pactl load-module module-null-sink sink_name=test")) {
        error_ = "cannot make the null sink: " + logs();
        return false;
    }
    if (!waitFor(5000, [] { return quietly("pactl set-default-sink test"); })) {
        error_ = "cannot make the null sink the default: " + logs();
        return false;
    }
    return true;
}

void DesktopWorld::stopSoundServer() {
    for (int i = 2; i >= 0; --i) sound_[i].stop();
}

void DesktopWorld::freezeSoundServer() {
    for (ChildProcess& process : sound_)
        if (process.running()) kill(process.pid(), SIGSTOP);
}

std::vector<std::string> DesktopWorld::makeSongs(const std::vector<TestSong>& songs) {
    std::vector<std::string> paths;
    for (const TestSong& song : songs) {
        if (!makeTestSong(folder_ + "/music", song)) error_ = "cannot make " + song.file + " with sox and metaflac";
        paths.push_back(folder_ + "/music/" + song.file);
    }
    return paths;
}

bool DesktopWorld::startMpv(const std::vector<std::string>& files) {
    std::vector<std::string> argv = {"mpv", "--no-config", "--script=/usr/lib/mpv-mpris/mpris.so", "--no-video",
                                     "--ao=pulse", "--audio-device=pulse/test", "--idle=yes", "--pause",
                                     "--no-terminal"};
    argv.insert(argv.end(), files.begin(), files.end());
    mpv_.start(argv, folder_ + "/logs/mpv");
    return waitFor(10000, [] {
        return quietly("dbus-send --session --print-reply --reply-timeout=1000 --dest=org.mpris.MediaPlayer2.mpv "
                       "/org/mpris/MediaPlayer2 org.freedesktop.DBus.Peer.Ping");
    });
}

bool DesktopWorld::control(const std::string& method, const std::string& arguments) {
    return quietly("dbus-send --session --print-reply --reply-timeout=2000 --dest=org.mpris.MediaPlayer2.mpv "
                   "/org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player." + method + " " + arguments);
}

std::string DesktopWorld::logs() const {
    std::stringstream text;
    for (const char* name : {"dbus", "sound", "mpv"}) {
        text << "--- " << name << "\n";
        if (std::ifstream file{folder_ + "/logs/" + name}) text << file.rdbuf();
    }
    return text.str();
}

} // namespace tessaranth::test
