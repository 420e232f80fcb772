// SPDX-License-Identifier: GPL-2.0-or-later
// Today's serial displays in the standard scenes: CPU per frame, and the wire cost of a frame as
// the driver's traffic put it on the bus (changed spans only, and the full redraw of a periodic
// refresh), with the frame rate that traffic leaves a bus: 100 kHz, 400 kHz and 1 MHz on I2C, the
// driver's clock on SPI (8 MHz; the ST7920 at most its 2 MHz and its 72 us an instruction).
#include "BusScenes.h"

#include <benchmark/benchmark.h>

#include <span>
#include <string>

namespace {

using namespace tessaranth::test;

constexpr double frameIntervalMicroseconds = 60000.0;

struct Clock {
    const char* name;
    double hz;
};
constexpr Clock i2cClocks[] = {{"100k", 100e3}, {"400k", 400e3}, {"1M", 1e6}};

bool onI2c(const SceneTraffic& traffic) { return traffic.fullRedraw.i2cMessages > 0; }

// Frames a second that `traffic` leaves the bus at `clockHz`.
double framesPerSecond(const FrameTraffic& traffic, bool i2c, double clockHz) {
    const double micros = i2c ? i2cMicros(traffic, clockHz) : spiMicros(traffic, clockHz);
    return micros > 0 ? 1e6 / micros : 0;
}

void countBus(benchmark::State& state, const SceneTraffic& traffic) {
    const FrameTraffic worst = traffic.worst();
    const auto full = static_cast<double>(traffic.fullRedraw.bytes);
    state.counters["bytes/frame"] = traffic.meanBytes();
    state.counters["most_bytes"] = static_cast<double>(worst.bytes);
    state.counters["full_bytes"] = full;
    state.counters["most_%full"] = full > 0 ? 100.0 * static_cast<double>(worst.bytes) / full : 0;
    const bool i2c = onI2c(traffic);
    const Clock spi[] = {{"spi", static_cast<double>(traffic.spiClockHz)}};
    for (const auto& [name, hz] : i2c ? std::span<const Clock>(i2cClocks) : std::span<const Clock>(spi)) {
        // The rate the worst changed-only frame allows, and the full redraw's.
        state.counters[std::string("fps_") + name] = framesPerSecond(worst, i2c, hz);
        state.counters[std::string("full_fps_") + name] = framesPerSecond(traffic.fullRedraw, i2c, hz);
    }
    const double worstMicros = i2c ? i2cMicros(worst, 100e3) : spiMicros(worst, traffic.spiClockHz);
    state.counters["slowest_bus_%60ms"] = 100.0 * worstMicros / frameIntervalMicroseconds;
    if (!i2c) state.counters["spi_MHz"] = traffic.spiClockHz / 1e6;
}

void runBusScene(benchmark::State& state, const SerialChip& chip, SceneContent content) {
    BusSceneRunner runner(chip, content);
    const SceneTraffic traffic = runner.measure();
    for (auto _ : state) runner.frame();
    countBus(state, traffic);
}

const bool registered = [] {
    for (const SerialChip& chip : serialChips())
        for (SceneContent content : busSceneContents) {
            const std::string name = std::string(sceneContentName(content)) + " " + chip.name;
            benchmark::RegisterBenchmark(name.c_str(),
                                         [&chip, content](benchmark::State& state) { runBusScene(state, chip, content); })
                ->Unit(benchmark::kMicrosecond);
        }
    return true;
}();

} // namespace
