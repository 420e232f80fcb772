// A freshly loaded plug-in for every test, with a fake player and recorded host services.
#pragma once

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

    FakePlayer player;
    HostRecorder host{true};
};

} // namespace tessaranth::test
