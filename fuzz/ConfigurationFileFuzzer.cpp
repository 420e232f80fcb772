// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as a configuration file, loaded the way the dialog's "Load" button loads it
// (the form then shows the record), then start-up, frames and Quit on the loaded record. The
// bytes past the record feed the player and the audio.
#include "FuzzHost.h"

#include "config/TConfigForm.h"
#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "platform/FileDialogs.h"
#include "settings/BusFields.h"
#include "settings/Settings.h"
#include "settings/SettingsImage.h"

#include <cstdio>
#include <cstring>

namespace {

using namespace tessaranth;

const char* configurationPath = nullptr;

bool chooseConfiguration(void*, const platform::FileDialogRequest&, char* path, std::size_t size) {
    return std::snprintf(path, size, "%s", configurationPath) < static_cast<int>(size);
}

void loadThroughTheForm() {
    platform::setFileDialogHandler(&chooseConfiguration, nullptr);
    TConfigForm form;
    form.LoadFromFileClick(0);
    platform::setFileDialogHandler(nullptr, nullptr);
}

// The file's bus, with the default devices: a path from the file could name any file on this
// machine. Its numbers (addresses, lines, clock) stay, and every one is in its range.
void keepTheBusOffTheMachinesFiles() {
    BusSettings bus = gSettings->bus();
    const BusSettings defaults;
    for (const BusField& field : busFields()) {
        const bool inRange = field.kind == FieldKind::text || (busValue(bus, field) >= field.least &&
                                                                busValue(bus, field) <= field.most);
        if (!inRange) __builtin_trap();
    }
    std::memcpy(bus.i2cDevice, defaults.i2cDevice, sizeof bus.i2cDevice);
    std::memcpy(bus.spiDevice, defaults.spiDevice, sizeof bus.spiDevice);
    std::memcpy(bus.dc.chip, defaults.dc.chip, sizeof bus.dc.chip);
    std::memcpy(bus.reset.chip, defaults.reset.chip, sizeof bus.reset.chip);
    std::memcpy(bus.parallelChip, defaults.parallelChip, sizeof bus.parallelChip);
    gSettings->setBus(bus);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    loadPlugin();
    configurationPath = fuzz::writeScratchFile("fuzz.tzn", data, size);
    loadThroughTheForm();
    gSettings->setBackground("");  // a path from the file could name any file on this machine
    keepTheBusOffTheMachinesFiles();
    const std::size_t recordBytes = size < settingsImageSize ? size : settingsImageSize;
    fuzz::ByteReader reader(data + recordBytes, size - recordBytes);
    fuzz::runPlugin(reader, 2, [&reader](VisModule& module) {
        reader.copy(module.spectrumBytes, sizeof module.spectrumBytes / 16);
        reader.copy(module.waveformBytes, sizeof module.waveformBytes / 16);
    }, 2);
    unloadPlugin();
    return 0;
}
