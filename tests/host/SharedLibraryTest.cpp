// SPDX-License-Identifier: GPL-2.0-or-later
// A host that knows only the C interface loads the built plug-in and runs it.
#include "FakePlayer.h"

#include "tessaranth/plugin_abi.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaranth::test {
namespace {

std::vector<std::string> boxes;

TEST(SharedLibrary, ExportsTheEntryPointsAndRunsACycle) {
    void* library = dlopen(TESSARANTH_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto getHeader = reinterpret_cast<WinampVisGetHeaderFunction>(dlsym(library, "winampVisGetHeader"));
    auto getHeaderAgain = reinterpret_cast<WinampVisGetHeaderFunction>(dlsym(library, "_winampVisGetHeader"));
    auto setServices = reinterpret_cast<TessaranthSetHostServicesFunction>(dlsym(library, "tessaranthSetHostServices"));
    ASSERT_TRUE(getHeader && getHeaderAgain && setServices);
    EXPECT_EQ(reinterpret_cast<void*>(getHeader), reinterpret_cast<void*>(getHeaderAgain)) << "one function, two names";
    EXPECT_EQ(dlsym(library, "_ZN10tessaranth7gPluginE"), nullptr) << "only the C entry points are exported";

    VisHeader* header = getHeader();
    EXPECT_EQ(getHeaderAgain(), header);
    EXPECT_STREQ(header->headerDescription, "Tessaranth v0.9.3 beta");

    TessaranthHostServices services{};
    services.version = TESSARANTH_HOST_SERVICES_VERSION;
    services.messageBox = [](void*, const char* text, const char*, uint32_t) -> int32_t {
        boxes.emplace_back(text);
        return 1;
    };
    services.writePort = [](void*, uint16_t, uint16_t) {};
    services.readPort = [](void*, uint16_t) -> uint16_t { return 0; };
    setServices(&services);

    FakePlayer player;
    VisModule* module = header->lookupModule(0);
    ASSERT_NE(module, nullptr);
    module->playerWindow = player.window();
    EXPECT_EQ(module->initCallback(module), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(module->renderCallback(module), 0);
    EXPECT_EQ(module->delayMillis, 60);
    module->quitCallback(module);
    setServices(nullptr);
    dlclose(library);
}

} // namespace
} // namespace tessaranth::test
