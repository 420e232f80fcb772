// tessaranth: hosts the vis_lumidra plug-in on Linux.
#include "tessaranth/plugin_abi.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

struct Counters {
    unsigned long portWrites = 0;
    unsigned long portReads = 0;
    unsigned long boxes = 0;
};

int runDemo(const char* pluginPath, int frames) {
    void* library = dlopen(pluginPath, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "tessaranth: cannot load %s: %s\n", pluginPath, dlerror());
        return 1;
    }
    auto getHeader = reinterpret_cast<WinampVisGetHeaderFunction>(dlsym(library, "winampVisGetHeader"));
    auto setServices = reinterpret_cast<TessaranthSetHostServicesFunction>(dlsym(library, "tessaranthSetHostServices"));
    if (!getHeader) {
        std::fprintf(stderr, "tessaranth: %s is not a visualisation plug-in\n", pluginPath);
        return 1;
    }
    Counters counters;
    TessaranthHostServices services{};
    services.version = TESSARANTH_HOST_SERVICES_VERSION;
    services.context = &counters;
    services.writePort = [](void* c, uint16_t, uint16_t) { ++static_cast<Counters*>(c)->portWrites; };
    services.readPort = [](void* c, uint16_t) -> uint16_t {
        ++static_cast<Counters*>(c)->portReads;
        return 0;
    };
    services.messageBox = [](void* c, const char* text, const char* caption, uint32_t) -> int32_t {
        ++static_cast<Counters*>(c)->boxes;
        std::printf("  message box \"%s\": %s\n", caption, text);
        return 1;
    };
    if (setServices) setServices(&services);

    VisHeader* header = getHeader();
    VisModule* module = header->lookupModule(0);
    std::printf("tessaranth: loaded \"%s\" (%s)\n", header->headerDescription, module->moduleDescription);
    module->initCallback(module);
    for (int i = 0; i < frames; ++i) module->renderCallback(module);
    module->quitCallback(module);
    std::printf("tessaranth: Init, %d frames and Quit: %lu port writes, %lu port reads, %lu message boxes\n", frames,
                counters.portWrites, counters.portReads, counters.boxes);
    if (setServices) setServices(nullptr);
    dlclose(library);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "demo") != 0) {
        std::fprintf(stderr, "usage: tessaranth demo\n");
        return 2;
    }
    return runDemo(TESSARANTH_DEFAULT_PLUGIN, 20);
}
