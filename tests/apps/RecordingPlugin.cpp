// SPDX-License-Identifier: GPL-2.0-or-later
// A visualisation plug-in for the host's tests: it records what the host gives it.
#include "RecordingPlugin.h"

#include "tessaranth/plugin_abi.h"

namespace {

RecordingPluginLog* logOf(VisModule* module) { return static_cast<RecordingPluginLog*>(module->userPointer); }

bool anyNonZero(const uint8_t (&data)[2][VIS_SPECTRUM_ENTRIES]) {
    for (const auto& channel : data)
        for (uint8_t value : channel)
            if (value != 0) return true;
    return false;
}

int32_t init(VisModule* module) {
    RecordingPluginLog* log = logOf(module);
    ++log->inits;
    log->windowAtInit = module->playerWindow;
    if (log->askToClose) {
        auto* window = static_cast<TessaranthPlayerWindow*>(module->playerWindow);
        window->sendMessage(window->context, 0x0111, 40001, 0);
    }
    return 0;
}

int32_t render(VisModule* module) {
    RecordingPluginLog* log = logOf(module);
    ++log->renders;
    auto* window = static_cast<TessaranthPlayerWindow*>(module->playerWindow);
    window->getWindowText(window->context, log->lastTitle, sizeof log->lastTitle);
    log->lastPlayState = window->sendMessage(window->context, 0x0400, 0, 104);
    if (anyNonZero(module->spectrumBytes)) ++log->nonZeroSpectrumFrames;
    if (anyNonZero(module->waveformBytes)) ++log->nonZeroWaveformFrames;
    module->delayMillis = log->delayToAsk;
    return 0;
}

void quit(VisModule* module) { ++logOf(module)->quits; }

char description[] = "Recording plug-in";

VisModule module{description, nullptr, nullptr, 0, 0, 0, 40, 2, 2, {}, {}, nullptr, init, render, quit, nullptr};

VisModule* lookup(int32_t index) { return index == 0 ? &module : nullptr; }

VisHeader header{VIS_HEADER_VERSION, description, lookup};

} // namespace

extern "C" TESSARANTH_EXPORT VisHeader* winampVisGetHeader(void) { return &header; }
