// SPDX-License-Identifier: GPL-2.0-or-later
// A freshly loaded plug-in for every test, with a fake player and recorded host services. Its
// registry lives in a configuration folder of its own and starts with the default settings.
#pragma once

#include "ConfigHome.h"
#include "FakePlayer.h"
#include "HostRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaranth::test {

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the module's callbacks the way a host does. Init loads the registry, so init() first
    // stores the record there: Init then starts with the settings as the test left them.
    // (module().initCallback runs Init on whatever the registry holds.)
    int32_t init();
    int32_t render(int frames = 1);
    void quit();

    VisModule& module();

    // Replaces the named value's line in the stored registry (an empty line removes it).
    void replaceStored(const std::string& name, const std::string& line);

    TemporaryConfigHome configHome;
    FakePlayer player;
    HostRecorder host{true};
};

} // namespace tessaranth::test
