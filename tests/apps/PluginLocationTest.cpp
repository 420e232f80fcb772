// SPDX-License-Identifier: GPL-2.0-or-later
// The plug-in the program uses without --plugin: relative to the program, installed first.
#include "session/PluginLocation.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace tessaranth::host {
namespace {

namespace fs = std::filesystem;

TEST(PluginLocationTest, TheInstalledPlugInComesFirstThenTheBuiltOneThenWhereItWasExpected) {
    const fs::path root = fs::path(::testing::TempDir()) / ("plugin-location-" + std::to_string(getpid()));
    const fs::path program = root / "usr/bin/tessaranth";
    const fs::path installed = root / "usr/lib/tessaranth/vis_lumidra.so";
    const fs::path built = root / "src/vis_lumidra.so";
    constexpr const char* places[] = {"../lib/tessaranth/vis_lumidra.so", "../../src/vis_lumidra.so"};
    for (const fs::path& file : {installed, built}) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "plug-in";
    }

    EXPECT_EQ(fileBeside(program, places), installed.string());
    fs::remove(installed);
    EXPECT_EQ(fileBeside(program, places), built.string());
    fs::remove(built);
    fs::create_directories(installed);  // a folder of that name is no plug-in
    EXPECT_EQ(fileBeside(program, places), installed.string()) << "the failure names the installed place";
    fs::remove_all(installed);
    EXPECT_EQ(fileBeside(program, places), installed.string());
    fs::remove_all(root);
}

} // namespace
} // namespace tessaranth::host
