// SPDX-License-Identifier: GPL-2.0-or-later
// The exported entry point, the header and module records and the four callbacks.
#include "host/PluginEntry.h"

#include "globals/Globals.h"
#include "host/ConfigOpener.h"
#include "host/WinampPlugin.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

#include <cstring>

namespace tessaranth {

namespace {

char descriptionText[64] = {};
char moduleDescriptionText[] = "Tessaranth graphical LCD plug-in";

void configCallback(VisModule*) {
    if (gSettings) openConfig();
}

int32_t initCallback(VisModule* module) {
    if (gPlugin) gPlugin->startUp(module);
    return 0;
}

int32_t renderCallback(VisModule* module) {
    if (!gPlugin || !module) return 0;
    module->delayMillis = gPlugin->getUpdateDelay();
    gPlugin->renderFrame(module);
    return 0;
}

void quitCallback(VisModule* module) {
    if (gPlugin) gPlugin->shutDown(module);
}

VisModule* lookupModule(int32_t index);

VisModule module{
    moduleDescriptionText, nullptr, nullptr, 0, 0, 0, 40, 2, 2, {}, {},
    configCallback,        initCallback, renderCallback, quitCallback, nullptr,
};

VisHeader header{VIS_HEADER_VERSION, descriptionText, lookupModule};

VisModule* lookupModule(int32_t index) { return index == 0 ? &module : nullptr; }

} // namespace

void runEntryRoutine() {
    std::strcpy(descriptionText, "Tessaranth ");
    std::strncat(descriptionText, gPlugin ? gPlugin->getVersionText() : "", sizeof descriptionText - 12);
}

VisModule& moduleRecord() { return module; }

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VisHeader) == 12);
static_assert(offsetof(VisHeader, headerDescription) == 4);
static_assert(offsetof(VisHeader, lookupModule) == 8);
static_assert(sizeof(VisModule) == 2360);
static_assert(offsetof(VisModule, playerWindow) == 4);
static_assert(offsetof(VisModule, dllInstance) == 8);
static_assert(offsetof(VisModule, sampleRate) == 12);
static_assert(offsetof(VisModule, channelCount) == 16);
static_assert(offsetof(VisModule, latencyMillis) == 20);
static_assert(offsetof(VisModule, delayMillis) == 24);
static_assert(offsetof(VisModule, spectrumChannels) == 28);
static_assert(offsetof(VisModule, waveformChannels) == 32);
static_assert(offsetof(VisModule, spectrumBytes) == 36);
static_assert(offsetof(VisModule, waveformBytes) == 1188);
static_assert(offsetof(VisModule, configCallback) == 2340);
static_assert(offsetof(VisModule, initCallback) == 2344);
static_assert(offsetof(VisModule, renderCallback) == 2348);
static_assert(offsetof(VisModule, quitCallback) == 2352);
static_assert(offsetof(VisModule, userPointer) == 2356);
#endif

} // namespace tessaranth

extern "C" {

TESSARANTH_EXPORT VisHeader* winampVisGetHeader(void) { return &tessaranth::header; }

#if !defined(_WIN32)
TESSARANTH_EXPORT VisHeader* _winampVisGetHeader(void) __attribute__((alias("winampVisGetHeader")));
#endif

TESSARANTH_EXPORT void tessaranthSetHostServices(const TessaranthHostServices* services) {
    tessaranth::platform::setHostServices(services);
}

} // extern "C"
