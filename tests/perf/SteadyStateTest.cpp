// SPDX-License-Identifier: GPL-2.0-or-later
// A frame runs in the player's visualisation thread: once running, it must not allocate.
#include "AllocationCounter.h"
#include "BusScenes.h"
#include "Scenes.h"

#include <gtest/gtest.h>

namespace tessaranth::test {
namespace {

TEST(SteadyState, NoSceneAllocatesInAFrame) {
    for (const SceneSpec& scene : standardScenes()) {
        SceneRunner runner(scene);
        const uint64_t before = allocationCount();
        for (int i = 0; i < 200; ++i) runner.frame();
        EXPECT_EQ(allocationCount() - before, 0u) << scene.name;
    }
}

// The serial displays' frames too, through their links and the host's bus services; the frames
// include a periodic full refresh.
TEST(SteadyState, NoSerialDisplaySceneAllocatesInAFrame) {
    for (const SerialChip& chip : serialChips())
        for (SceneContent content : busSceneContents) {
            BusSceneRunner runner(chip, content);
            runner.measure();
            const uint64_t before = allocationCount();
            for (int i = 0; i < 200; ++i) runner.frame();
            EXPECT_EQ(allocationCount() - before, 0u) << runner.name();
        }
}

TEST(SteadyState, TheCounterSeesAllocations) {
    const uint64_t before = allocationCount();
    auto* p = new int(3);
    EXPECT_EQ(allocationCount() - before, 1u);
    delete p;
}

} // namespace
} // namespace tessaranth::test
