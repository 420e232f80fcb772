// SPDX-License-Identifier: GPL-2.0-or-later
// Standard scenes for measuring frames: a plug-in started on a given controller and size with
// a set of fields and visualisations on, fed by a player whose time runs and whose audio is
// noise. Port accesses and USB bytes are counted, not recorded, so a frame costs what the
// plug-in costs.
#pragma once

#include "tessaranth/plugin_abi.h"

#include <cstdint>
#include <span>

namespace tessaranth::test {

enum class SceneContent { idle, text, vis, everything };

struct SceneSpec {
    const char* name;
    SceneContent content;
    uint8_t controller;
    uint8_t displayFormat;
    // Fields placed for a small panel (placePanelFields()) instead of the stored defaults: idle
    // shows title, artist and time of a paused player; text the same playing, the title
    // scrolling; vis the three visualisations alone; everything all of them (on fewer than 64
    // rows the scrolling title over the visualisations).
    bool panelLayout = false;
};

// idle, text, vis and everything on a T6963C 240 x 128, then everything on a KS0108B 128 x 64,
// a SED1335 320 x 240, a Noritake 128 x 64 and a USB2LCD 240 x 128.
std::span<const SceneSpec> standardScenes();

// The scenes' sound: noise in both channels' spectrum and waveform, the same for the same seed.
void feedNoise(VisModule& module, uint32_t& noise);

struct SceneCounters {
    uint64_t portAccesses = 0;
    uint64_t usbBytes = 0;
};

class SceneRunner {
public:
    static constexpr int defaultWarmUpFrames = 50;

    // Loads and starts the plug-in for the scene and runs `warmUpFrames` frames to reach steady
    // state. Without `services` the ports and the USB adapter are counted and go nowhere; the
    // given ones must outlive the runner.
    explicit SceneRunner(const SceneSpec& scene, const TessaranthHostServices* services = nullptr,
                         int warmUpFrames = defaultWarmUpFrames);
    ~SceneRunner();
    SceneRunner(const SceneRunner&) = delete;
    SceneRunner& operator=(const SceneRunner&) = delete;

    // One frame: the player moves on by one frame interval and new audio arrives.
    void frame();
    SceneCounters counters;

private:
    void advancePlayer();

    TessaranthPlayerWindow window_{};
    TessaranthHostServices services_{};
    uint32_t noise_ = 12345;
    int32_t positionMillis_ = 0;
    bool paused_ = false;
};

} // namespace tessaranth::test
