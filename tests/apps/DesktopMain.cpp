// SPDX-License-Identifier: GPL-2.0-or-later
// The desktop-player tests share one private world, made before the first test and taken down
// after the last: starting a bus and a sound server costs seconds. TESSARANTH_TEST_SOUND_SERVER=
// pulseaudio runs them on PulseAudio instead of PipeWire.
#include "DesktopWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessaranth::test {
namespace {
DesktopWorld* world = nullptr;
} // namespace

DesktopWorld& desktop() { return *world; }

} // namespace tessaranth::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    using tessaranth::test::DesktopWorld;
    const char* choice = std::getenv("TESSARANTH_TEST_SOUND_SERVER");
    const bool pulseaudio = choice && std::string(choice) == "pulseaudio";
    DesktopWorld desktop(pulseaudio ? DesktopWorld::SoundServer::pulseaudio : DesktopWorld::SoundServer::pipewire);
    if (!desktop.error().empty()) {
        std::fprintf(stderr, "desktop world: %s\n", desktop.error().c_str());
        return 1;
    }
    std::printf("desktop world in %s with %s\n", desktop.folder().c_str(), pulseaudio ? "PulseAudio" : "PipeWire");
    tessaranth::test::world = &desktop;
    return RUN_ALL_TESTS();
}
