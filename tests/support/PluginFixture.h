// A freshly loaded plug-in for every test, with a fake player and recorded host services. Its
// registry (in a configuration folder of its own) holds the default settings, so Init loads
// them without a word; a test of first use removes the file.
#pragma once

#include "ConfigHome.h"
#include "FakePlayer.h"
#include "HostRecorder.h"

#include <gtest/gtest.h>

namespace tessaranth::test {

class PluginFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the module's callbacks the way a host does.
    int32_t init();
    int32_t render(int frames = 1);
    void quit();

    VisModule& module();

    TemporaryConfigHome configHome;
    FakePlayer player;
    HostRecorder host{true};
};

} // namespace tessaranth::test
