// Arbitrary bytes as the values of the settings key (after a matching "Version"): the load must
// stay inside the record, leave its texts terminated, and a save of what it loaded must load
// again.
#include "FuzzHost.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace tessaranth;

const std::string header = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth]\r\n"
                           "\"Version\"=\"v0.9.3 beta\"\r\n";

void requireTerminated(const Settings& settings) {
    if (!std::memchr(settings.image().background, '\0', sizeof settings.image().background)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::installQuietHost();
    std::filesystem::create_directories(std::string(std::getenv("XDG_CONFIG_HOME")) + "/tessaranth");
    const std::string text = header + std::string(reinterpret_cast<const char*>(data), size);
    fuzz::writeScratchFile("tessaranth/registry.reg", reinterpret_cast<const uint8_t*>(text.data()), text.size());
    loadPlugin();
    gSettings->loadFromRegistry();
    requireTerminated(*gSettings);
    gSettings->saveToRegistry();
    if (!gSettings->loadFromRegistry()) __builtin_trap();
    requireTerminated(*gSettings);
    unloadPlugin();
    return 0;
}
