// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmulatedPlugin.h"

#include <algorithm>
#include <ostream>

namespace tessaranth::test {
namespace {

struct Scene {
    const char* golden;
    emu::DisplaySetup setup;
    const char* tolerated = nullptr;  // the one problem this controller is known to meet
};

// Blanking a text run ends with the driver's auto-reset code, which is 0 on the SED133x: the
// chip meets command byte 0x00, which it does not know. It ends MWRITE and changes nothing on
// the glass, so the scene tolerates exactly this message and nothing else.
constexpr const char* kSedResetByte = "unknown command 0x00";

void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.golden; }

// The standard scene on each controller: start, four frames of a playing track.
class EmuGolden : public EmulatedPlugin, public ::testing::WithParamInterface<Scene> {};

TEST_P(EmuGolden, StandardSceneShowsWhatTheGoldenPictureShows) {
    attachDisplay(GetParam().setup);
    playStandardTrack();
    init();
    render(4);
    if (GetParam().tolerated) {
        for (const std::string& message : display->problems().messages()) EXPECT_EQ(message, GetParam().tolerated);
    } else {
        expectNoProblems();
    }
    expectGolden(GetParam().golden);
}

INSTANTIATE_TEST_SUITE_P(
    Controllers, EmuGolden,
    ::testing::Values(Scene{"t6963c-240x128", {.controller = 0, .displayFormat = 3}},
                      Scene{"t6963c-128x64", {.controller = 0, .displayFormat = 0}},
                      Scene{"sed1330-256x128", {.controller = 1, .displayFormat = 4}, kSedResetByte},
                      Scene{"sed1335-320x240", {.controller = 2, .displayFormat = 6, .panel = emu::PanelColour::blue}, kSedResetByte},
                      Scene{"ks0108b-128x64", {.controller = 3, .displayFormat = 0}},
                      Scene{"ks0108b-192x64", {.controller = 3, .displayFormat = 7}},
                      Scene{"noritake-128x64", {.controller = 5, .displayFormat = 0}},
                      Scene{"usb2lcd-240x128", {.controller = 6, .displayFormat = 3, .panel = emu::PanelColour::blue}}),
    [](const ::testing::TestParamInfo<Scene>& scene) {
        std::string name = scene.param.golden;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tessaranth::test
