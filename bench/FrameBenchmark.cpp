// SPDX-License-Identifier: GPL-2.0-or-later
// The cost of one steady-state frame per scene: CPU time with a port that goes nowhere, port
// accesses, bytes to the USB adapter, the bus time those accesses take on a legacy parallel
// port (about 1 us each) and its share of the default 60 ms frame interval, and heap
// allocations.
#include "AllocationCounter.h"
#include "Scenes.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tessaranth::test;

constexpr double microsecondsPerPortAccess = 1.0;
constexpr double frameIntervalMicroseconds = 60000.0;

void runScene(benchmark::State& state, const SceneSpec& scene) {
    SceneRunner runner(scene);
    const uint64_t allocationsBefore = allocationCount();
    for (auto _ : state) runner.frame();
    const double frames = static_cast<double>(state.iterations());
    const double accesses = static_cast<double>(runner.counters.portAccesses) / frames;
    const double busMicroseconds = accesses * microsecondsPerPortAccess;
    state.counters["port/frame"] = accesses;
    state.counters["usb_bytes/frame"] = static_cast<double>(runner.counters.usbBytes) / frames;
    state.counters["bus_us/frame"] = busMicroseconds;
    state.counters["bus_share_%"] = 100.0 * busMicroseconds / frameIntervalMicroseconds;
    state.counters["allocs/frame"] = static_cast<double>(allocationCount() - allocationsBefore) / frames;
}

const bool registered = [] {
    for (const SceneSpec& scene : standardScenes())
        benchmark::RegisterBenchmark(scene.name, [&scene](benchmark::State& state) { runScene(state, scene); })
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

} // namespace

BENCHMARK_MAIN();
