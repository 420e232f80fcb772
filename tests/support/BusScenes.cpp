// SPDX-License-Identifier: GPL-2.0-or-later
#include "BusScenes.h"

#include "controllers/ShadowPageController.h"

namespace tessaranth::test {

double i2cMicros(const FrameTraffic& traffic, double clockHz) {
    return (9.0 * static_cast<double>(traffic.bytes) + 2.0 * static_cast<double>(traffic.i2cMessages)) * 1e6 /
           clockHz;
}

double spiMicros(const FrameTraffic& traffic, double clockHz) {
    return 8.0 * static_cast<double>(traffic.bytes) * 1e6 / clockHz + static_cast<double>(traffic.pausedMicros);
}

FrameTraffic SceneTraffic::worst() const {
    FrameTraffic most;
    for (const FrameTraffic& frame : changedOnly)
        if (frame.bytes > most.bytes) most = frame;
    return most;
}

double SceneTraffic::meanBytes() const {
    if (changedOnly.empty()) return 0;
    uint64_t sum = 0;
    for (const FrameTraffic& frame : changedOnly) sum += frame.bytes;
    return static_cast<double>(sum) / static_cast<double>(changedOnly.size());
}

const char* sceneContentName(SceneContent content) {
    switch (content) {
    case SceneContent::idle: return "idle";
    case SceneContent::text: return "text";
    case SceneContent::vis: return "vis";
    case SceneContent::everything: return "everything";
    }
    return "";
}

BusSceneRunner::BusSceneRunner(const SerialChip& chip, SceneContent content)
    : name_(std::string(sceneContentName(content)) + " " + chip.name), chip_(chip.make()), bus_(*chip_) {
    bus_.spiGapMicros = chip.spiGapMicros;
    services_ = bus_.services();
    const SceneSpec scene{name_.c_str(), content, chip.controller, chip.displayFormat, true};
    runner_ = std::make_unique<SceneRunner>(scene, &services_, 0);
}

BusSceneRunner::~BusSceneRunner() = default;

FrameTraffic BusSceneRunner::measureFrame() {
    const FrameTraffic before{bus_.wireBytes(), bus_.i2cMessages(), bus_.spiWrites(), bus_.pausedMicros()};
    runner_->frame();
    return {bus_.wireBytes() - before.bytes, bus_.i2cMessages() - before.i2cMessages,
            bus_.spiWrites() - before.spiWrites, bus_.pausedMicros() - before.pausedMicros};
}

SceneTraffic BusSceneRunner::measure() {
    SceneTraffic traffic;
    for (int frame = 1; frame < ShadowPageController::refreshFrames; ++frame) {
        const FrameTraffic sent = measureFrame();
        if (frame > settlingFrames) traffic.changedOnly.push_back(sent);
    }
    traffic.fullRedraw = measureFrame();
    traffic.spiClockHz = bus_.chip().spiClockHz();
    return traffic;
}

} // namespace tessaranth::test
