// SPDX-License-Identifier: GPL-2.0-or-later
// The standard scenes on today's serial displays: the plug-in drives each chip's emulator through
// its I2C or SPI link and the host's bus services, and every frame's traffic is taken from what
// went on the wire. With it, the time that traffic takes on a bus of a given clock.
#pragma once

#include "BusServicesAdapter.h"
#include "Scenes.h"
#include "SerialChips.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaranth::test {

// One frame's traffic.
struct FrameTraffic {
    uint64_t bytes = 0;         // wire bytes, an I2C message's address byte counted
    uint64_t i2cMessages = 0;
    uint64_t spiWrites = 0;
    uint64_t pausedMicros = 0;  // the pace kept before paced SPI writes (the ST7920's 72 us)
};

// I2C: 9 clock periods a byte and 2 a message for its start and stop.
double i2cMicros(const FrameTraffic& traffic, double clockHz);
// SPI: 8 clocks a byte, and the pauses.
double spiMicros(const FrameTraffic& traffic, double clockHz);

struct SceneTraffic {
    std::vector<FrameTraffic> changedOnly;  // the settled frames up to the periodic refresh
    FrameTraffic fullRedraw;                // the periodic refresh, which sends the whole picture
    uint32_t spiClockHz = 0;                // the clock the driver opened the SPI device with

    // The changed-only frame with the most bytes, and the bytes of one on average.
    FrameTraffic worst() const;
    double meanBytes() const;
};

// idle, text (a scrolling title), vis and everything.
inline constexpr std::array<SceneContent, 4> busSceneContents = {SceneContent::idle, SceneContent::text,
                                                                 SceneContent::vis, SceneContent::everything};
const char* sceneContentName(SceneContent content);

class BusSceneRunner {
public:
    // The frames after the start that settle a scene (a scrolling title starts to move) before
    // it is measured.
    static constexpr int settlingFrames = 10;

    BusSceneRunner(const SerialChip& chip, SceneContent content);
    ~BusSceneRunner();
    BusSceneRunner(const BusSceneRunner&) = delete;
    BusSceneRunner& operator=(const BusSceneRunner&) = delete;

    // Runs the frames from the start (whose own frame sends the whole picture) to the first
    // periodic refresh and gives their traffic. Call once, first.
    SceneTraffic measure();
    void frame() { runner_->frame(); }
    const std::string& name() const { return name_; }
    const BusServicesAdapter& bus() const { return bus_; }

private:
    FrameTraffic measureFrame();

    std::string name_;
    std::unique_ptr<emu::BusEmulator> chip_;
    BusServicesAdapter bus_;
    TessaranthHostServices services_{};
    std::unique_ptr<SceneRunner> runner_;
};

} // namespace tessaranth::test
