// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as the values of the settings key (after a matching "Version"): the load must
// stay inside the record, leave its texts terminated, and a save of what it loaded must load
// again.
#include "FuzzHost.h"
#include "MemoryRegistry.h"

#include "settings/Settings.h"

#include <cstring>
#include <string>

namespace {

using namespace tessaranth;

const std::string keyName = "HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth";
const std::string header = "REGEDIT4\r\n\r\n[" + keyName + "]\r\n\"Version\"=\"v0.9.3 beta\"\r\n";

void requireTerminated(const Settings& settings) {
    if (!std::memchr(settings.image().background, '\0', sizeof settings.image().background)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    fuzz::setRegistryText(keyName, header + std::string(reinterpret_cast<const char*>(data), size));
    Settings settings;
    settings.loadFromRegistry();
    requireTerminated(settings);
    settings.saveToRegistry();
    Settings saved;
    if (!saved.loadFromRegistry()) __builtin_trap();
    requireTerminated(saved);
    return 0;
}
