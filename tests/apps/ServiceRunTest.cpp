// SPDX-License-Identifier: GPL-2.0-or-later
// The services' command, `tessaranth mpd --display hardware` as the units start it (here on no
// display), against an MPD that is not there yet when it starts and restarts later: it waits,
// follows, waits again, and never ends for it.
#include "ChildProcess.h"
#include "MpdServer.h"
#include "Waiting.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tessaranth::host {
namespace {

std::string read(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

TEST(ServiceRun, WaitsForAnMpdThatStartsLaterAndFollowsItThroughARestart) {
    const std::string folder = ::testing::TempDir() + "service-run-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    test::MpdServer server({{"one.flac", "Test Artist", "First Tone", 6, 440}});
    ASSERT_TRUE(server.error().empty()) << server.error();
    const std::string address = "MPD at 127.0.0.1:" + std::to_string(server.port());
    const std::string log = folder + "/log";
    // The service's settings folder is its own: the environment is the child's from its start.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfigHome = configHome ? configHome : "";
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    test::ChildProcess service;
    service.start({TESSARANTH_PROGRAM, "mpd", "--host", "127.0.0.1", "--port", std::to_string(server.port()),
                   "--audio", "none", "--display", "none"},
                  log);
    if (configHome)
        setenv("XDG_CONFIG_HOME", savedConfigHome.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    const auto said = [&](const std::string& line) {
        return test::waitFor(6000, [&] { return read(log).find("tessaranth: " + line) != std::string::npos; });
    };
    EXPECT_TRUE(said("cannot reach " + address + " (Connection refused); trying again every second")) << read(log);
    sleep(2);
    ASSERT_TRUE(service.running()) << read(log);
    ASSERT_TRUE(server.start()) << server.error();
    EXPECT_TRUE(said("reached " + address)) << read(log);
    server.stop();
    EXPECT_TRUE(said("lost " + address)) << read(log);
    ASSERT_TRUE(server.start()) << server.error();
    EXPECT_TRUE(said(address + " is back")) << read(log);
    EXPECT_TRUE(service.running()) << read(log);
    service.stop();
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tessaranth::host
