// SPDX-License-Identifier: GPL-2.0-or-later
#include "Errors.h"
#include "session/PrivateConfigHome.h"
#include "session/StoredSettings.h"

#include "globals/Globals.h"
#include "host/PluginLifetime.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Environment variables and the working folder as a test sets them, put back afterwards.
class Surroundings {
public:
    ~Surroundings() {
        for (const auto& [name, value] : variables_)
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        if (!folder_.empty()) std::filesystem::current_path(folder_);
    }
    void set(const std::string& name, const char* value) {
        const char* before = std::getenv(name.c_str());
        variables_.emplace_back(name, before ? std::optional<std::string>(before) : std::nullopt);
        if (value) setenv(name.c_str(), value, 1);
        else unsetenv(name.c_str());
    }
    void enter(const std::string& folder) {
        if (folder_.empty()) folder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> variables_;
    std::filesystem::path folder_;
};

// What the dialog's "Save settings" does in the plug-in: the record it holds, stored again.
void pressSaveSettings(const std::function<void(Settings&)>& change) {
    loadPlugin();
    ASSERT_TRUE(gSettings->loadFromRegistry());
    change(*gSettings);
    EXPECT_TRUE(gSettings->saveToRegistry());
    unloadPlugin();
}

SettingsImage imageOf(const std::string& file) {
    SettingsImage image{};
    std::ifstream(file, std::ios::binary).read(reinterpret_cast<char*>(&image), sizeof image);
    return image;
}

// With no runtime folder and a relative TMPDIR, the private folder is still an absolute path:
// the registry takes no other, and would write into the user's own settings instead.
TEST_F(StoredSettingsTest, ThePrivateFolderIsAlwaysAnAbsolutePath) {
    if (!settingsCanBeStored()) GTEST_SKIP() << "this build cannot store settings yet";
    std::filesystem::remove_all(home + "/tessaranth");
    const std::string file = writeFile();
    const std::string user = folder + "/user";
    std::filesystem::create_directories(folder + "/tmp");
    Surroundings surroundings;
    surroundings.enter(folder);
    surroundings.set("XDG_RUNTIME_DIR", nullptr);
    surroundings.set("TMPDIR", "tmp");
    surroundings.set("HOME", user.c_str());
    {
        const StoredSettings settings(file);
        const std::string privateHome = settings.privateConfigHome();
        ASSERT_EQ(privateHome.front(), '/') << privateHome;
        EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(privateHome).parent_path(), folder + "/tmp"));
        EXPECT_TRUE(std::filesystem::exists(privateHome + "/tessaranth/registry.reg"));
    }
    EXPECT_FALSE(std::filesystem::exists(user)) << "nothing reached the user's settings";
    EXPECT_FALSE(std::filesystem::exists(home + "/tessaranth"));
    EXPECT_TRUE(std::filesystem::is_empty(folder + "/tmp"));
}

// The check made before anything is written: a private folder where the plug-in's registry
// would not be (a relative path, which the registry ignores) stops the run.
TEST_F(StoredSettingsTest, APrivateFolderThePluginWouldNotWriteToStopsTheRun) {
    const std::string user = folder + "/user";
    std::filesystem::create_directories(folder + "/relative");
    Surroundings surroundings;
    surroundings.enter(folder);
    surroundings.set("HOME", user.c_str());
    try {
        const PrivateConfigHome privateHome("relative");
        ADD_FAILURE() << "a private folder at " << privateHome.path() << " was accepted";
    } catch (const Failure& failure) {
        const std::string message = failure.what();
        EXPECT_NE(message.find("would not stay private"), std::string::npos) << message;
        EXPECT_NE(message.find(user + "/.config/tessaranth/registry.reg"), std::string::npos) << message;
        EXPECT_NE(message.find("nothing was written"), std::string::npos) << message;
    }
    EXPECT_STREQ(std::getenv("XDG_CONFIG_HOME"), home.c_str());
    EXPECT_TRUE(std::filesystem::is_empty(folder + "/relative"));
    EXPECT_FALSE(std::filesystem::exists(user));
}

// "Save settings" in a run with a configuration file saves into that file, and only when it
// was pressed.
TEST_F(StoredSettingsTest, SaveSettingsInARunWithAFileSavesIntoTheFile) {
    if (!settingsCanBeStored()) GTEST_SKIP() << "this build cannot store settings yet";
    std::filesystem::remove_all(home + "/tessaranth");
    const std::string file = writeFile();
    StoredSettings settings(file);
    EXPECT_EQ(settings.passOnSave(), "") << "the dialog closed without a save";
    pressSaveSettings([](Settings& s) {
        s.setDisplayFormat(5);
        s.setUpdateDelay(33);
    });
    EXPECT_EQ(settings.passOnSave(), "\"Save settings\" saved the settings into " + file);
    EXPECT_EQ(imageOf(file).displayFormat, 5);
    EXPECT_EQ(imageOf(file).updateDelay, 33);
    EXPECT_EQ(settings.passOnSave(), "") << "one save, passed on once";
    pressSaveSettings([](Settings&) {});
    EXPECT_EQ(settings.passOnSave(), "\"Save settings\" saved the settings into " + file) << "a save of the same";

    std::filesystem::remove(file);
    std::filesystem::create_directory(file);  // where the file cannot be replaced
    pressSaveSettings([](Settings& s) { s.setDisplayFormat(6); });
    EXPECT_EQ(settings.passOnSave(),
              "\"Save settings\" could not save the settings into " + file + ": Error saving configuration");
    EXPECT_FALSE(std::filesystem::exists(home + "/tessaranth")) << "the user's settings stay untouched";
}

TEST_F(StoredSettingsTest, AFileThatCannotBeReadIsAFailure) {
    EXPECT_THROW(StoredSettings{folder + "/missing.tzn"}, Failure);
    EXPECT_THROW(StoredSettings{folder}, Failure) << "a folder is no configuration file";
}

} // namespace
} // namespace tessaranth::host
