#include "Errors.h"
#include "session/StoredSettings.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tessaranth::host {
namespace {

class StoredSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    }
    // A save always succeeds once the settings can be stored at all.
    static bool settingsCanBeStored() {
        loadPlugin();
        const bool stored = gSettings->saveToRegistry();
        unloadPlugin();
        return stored;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // A configuration file of a KS0108B 192x64 module on the second port, wired its own way.
    std::string writeFile() {
        loadPlugin();
        gSettings->setController(3);
        gSettings->setDisplayFormat(7);
        gSettings->setWiringCS(2);
        gSettings->setWiringA0(0);
        gSettings->setWiringWR(3);
        gSettings->setWiringRD(1);
        gSettings->setLptAddress(0x278);
        const std::string path = folder + "/module.tzn";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(&gSettings->image()), settingsImageSize);
        unloadPlugin();
        return path;
    }

    std::string folder = ::testing::TempDir() + "stored-" + std::to_string(getpid());
    std::string home = folder + "/home";
};

TEST_F(StoredSettingsTest, WithoutStoredSettingsTheDefaultsDescribeTheDisplay) {
    const StoredSettings settings("");
    const emu::DisplaySetup& setup = settings.displaySetup();
    EXPECT_EQ(setup.controller, 0);
    EXPECT_EQ(setup.displayFormat, 0);
    EXPECT_EQ(setup.lptAddress, 0x378);
    EXPECT_TRUE(settings.privateConfigHome().empty());
    EXPECT_STREQ(std::getenv("XDG_CONFIG_HOME"), home.c_str());
}

TEST_F(StoredSettingsTest, AConfigurationFileDescribesTheDisplayAndReachesThePluginsRegistry) {
    if (!settingsCanBeStored()) GTEST_SKIP() << "this build cannot store settings yet";
    std::filesystem::remove_all(home);
    const std::string file = writeFile();
    std::string privateHome;
    {
        const StoredSettings settings(file);
        const emu::DisplaySetup& setup = settings.displaySetup();
        EXPECT_EQ(setup.controller, 3);
        EXPECT_EQ(setup.displayFormat, 7);
        EXPECT_EQ(setup.wiringCS, 2);
        EXPECT_EQ(setup.wiringA0, 0);
        EXPECT_EQ(setup.wiringWR, 3);
        EXPECT_EQ(setup.wiringRD, 1);
        EXPECT_EQ(setup.lptAddress, 0x278);
        privateHome = settings.privateConfigHome();
        ASSERT_FALSE(privateHome.empty());
        EXPECT_STREQ(std::getenv("XDG_CONFIG_HOME"), privateHome.c_str());
        EXPECT_TRUE(std::filesystem::exists(privateHome + "/tessaranth/registry.reg"));

        // What the plug-in reads at its start: the same settings, from the private registry.
        const StoredSettings asThePluginSeesThem("");
        EXPECT_EQ(asThePluginSeesThem.displaySetup().controller, 3);
        EXPECT_EQ(asThePluginSeesThem.displaySetup().displayFormat, 7);
        EXPECT_EQ(asThePluginSeesThem.displaySetup().lptAddress, 0x278);
    }
    EXPECT_FALSE(std::filesystem::exists(privateHome)) << "the private registry goes with the run";
    EXPECT_STREQ(std::getenv("XDG_CONFIG_HOME"), home.c_str()) << "and the user's folder is named again";
    EXPECT_FALSE(std::filesystem::exists(home + "/tessaranth/registry.reg")) << "the stored settings stay untouched";
}

// The private registry goes where saving costs least: the session's runtime folder, a file
// system in memory, else the temporary folder.
TEST_F(StoredSettingsTest, ThePrivateRegistryLivesInTheRuntimeFolder) {
    if (!settingsCanBeStored()) GTEST_SKIP() << "this build cannot store settings yet";
    const char* before = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = before ? before : "";
    const std::string runtime = folder + "/run";
    std::filesystem::create_directories(runtime);
    const std::string file = writeFile();
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    EXPECT_EQ(std::filesystem::path(StoredSettings(file).privateConfigHome()).parent_path(), runtime);
    EXPECT_TRUE(std::filesystem::is_empty(runtime)) << "and it goes with the run";
    setenv("XDG_RUNTIME_DIR", (folder + "/missing").c_str(), 1);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(StoredSettings(file).privateConfigHome()).parent_path(),
                                            std::filesystem::temp_directory_path()));
    if (before) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(StoredSettingsTest, AFileThatCannotBeReadIsAFailure) {
    EXPECT_THROW(StoredSettings{folder + "/missing.tzn"}, Failure);
    EXPECT_THROW(StoredSettings{folder}, Failure) << "a folder is no configuration file";
}

} // namespace
} // namespace tessaranth::host
