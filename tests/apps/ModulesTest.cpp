// SPDX-License-Identifier: GPL-2.0-or-later
// What is drawn with Qt comes in modules loaded when wanted: the plug-in's dialog
// (qt/tessaranth-dialog.so in its folder) and the program's window (qt/tessaranth-window.so). Without
// them, or without a screen, each says what to do and nothing else happens.
#include "Errors.h"
#include "session/PluginLibrary.h"
#include "QtModules.h"
#include "views/WindowView.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tessaranth::host {
namespace {

namespace fs = std::filesystem;

// The failure's text, or empty when there was none.
template <class Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "";
}

class ModulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "config");
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        fs::copy_file(TESSARANTH_PLUGIN_PATH, plugin);
    }
    void TearDown() override {
        unsetenv("QT_QPA_PLATFORM");
        fs::remove_all(folder);
    }

    // Opens the dialog of the plug-in copied into the folder; what it said in message boxes.
    std::vector<std::string> configure() {
        std::vector<std::string> said;
        TessaranthHostServices services{};
        services.version = TESSARANTH_HOST_SERVICES_VERSION;
        services.context = &said;
        services.messageBox = [](void* context, const char* text, const char*, uint32_t) -> int32_t {
            static_cast<std::vector<std::string>*>(context)->push_back(text);
            return 1;
        };
        PluginLibrary library(plugin.string());
        library.setHostServices(&services);
        library.module().configCallback(&library.module());
        return said;
    }

    static bool saidOnce(const std::vector<std::string>& said, const std::string& text) {
        int times = 0;
        for (const std::string& box : said) times += box.find(text) != std::string::npos;
        return times == 1;
    }

    const fs::path folder = fs::path(::testing::TempDir()) / ("modules-" + std::to_string(getpid()));
    const fs::path plugin = folder / "vis_lumidra.so";
};

TEST_F(ModulesTest, ConfigWithoutTheDialogModuleSaysHowToSetUpAndStoresNothing) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::vector<std::string> said = configure();
    EXPECT_TRUE(saidOnce(said, "The configuration dialog is not installed: install tessaranth-dialog, or use\n"
                               "tessaranth config --set NAME=VALUE"))
        << ::testing::PrintToString(said);
    EXPECT_FALSE(fs::exists(folder / "config" / "tessaranth" / "registry.reg"));
    // The plug-in is not stuck in a dialog that never opened: the next Config says it again.
    EXPECT_TRUE(saidOnce(configure(), "is not installed"));
}

TEST_F(ModulesTest, ConfigWithoutAScreenSaysHowToSetUpWithoutOne) {
    const char* saved[] = {std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")};
    const std::string display = saved[0] ? saved[0] : "", wayland = saved[1] ? saved[1] : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const std::vector<std::string> said = configure();
    if (saved[0]) setenv("DISPLAY", display.c_str(), 1);
    if (saved[1]) setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    EXPECT_TRUE(saidOnce(said, "The configuration dialog needs a graphical display (DISPLAY or WAYLAND_DISPLAY).\n"
                               "Without one, use tessaranth config --set NAME=VALUE"))
        << ::testing::PrintToString(said);
}

TEST_F(ModulesTest, ABrokenOrForeignDialogModuleIsNamedNotRun) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::create_directories(folder / "qt");
    std::ofstream(folder / "qt" / "tessaranth-dialog.so") << "not a library";
    std::vector<std::string> said = configure();
    EXPECT_TRUE(saidOnce(said, "The configuration dialog cannot be loaded: ")) << ::testing::PrintToString(said);

    fs::remove(folder / "qt" / "tessaranth-dialog.so");
    fs::copy_file(TESSARANTH_RECORDING_PLUGIN, folder / "qt" / "tessaranth-dialog.so");
    said = configure();
    EXPECT_TRUE(saidOnce(said, "tessaranth-dialog.so has no tessaranthDialogModule1 (another version?)"))
        << ::testing::PrintToString(said);
}

TEST_F(ModulesTest, TheWindowModuleIsLoadedOnlyWhenItIsThere) {
    const std::string missing = (folder / "tessaranth-window.so").string();
    EXPECT_EQ(failureOf([&] { loadWindowModule(missing); }),
              "the window is not installed (no " + missing +
                  "): install tessaranth-dialog, or use --view terminal or --view png:DIR");
    std::ofstream(missing) << "not a library";
    const std::string broken = failureOf([&] { loadWindowModule(missing); });
    EXPECT_EQ(broken.rfind("cannot load the window: ", 0), 0u) << broken;
    EXPECT_NE(broken.find("; use --view terminal or --view png:DIR"), std::string::npos) << broken;
    EXPECT_EQ(failureOf([] { loadWindowModule(TESSARANTH_RECORDING_PLUGIN); }),
              std::string(TESSARANTH_RECORDING_PLUGIN) +
                  " has no tessaranthWindowModule1 (a module of another version?)");
}

TEST(WindowViewScale, AReadableScaleForEveryWidth) {
    EXPECT_EQ(readableScale(128), 7);
    EXPECT_EQ(readableScale(240), 4);
    EXPECT_EQ(readableScale(320), 3);
    EXPECT_EQ(readableScale(2000), 2);
    EXPECT_EQ(readableScale(0), 8);
}

} // namespace
} // namespace tessaranth::host
