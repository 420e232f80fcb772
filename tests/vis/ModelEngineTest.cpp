// SPDX-License-Identifier: GPL-2.0-or-later
#include "VisFixture.h"

#include "HostRecorder.h"

#include "display/LCD.h"
#include "globals/Globals.h"
#include "vis/ModelEngine.h"

#include <bit>
#include <numeric>

namespace tessaranth::test {
namespace {

class ModelEngineTest : public VisFixture {
protected:
    // A pixel of the engine's buffer (row stride 40 on the 240 x 128 display).
    static bool bufferPixel(const uint8_t* bytes, int x, int y) { return (bytes[y * 40 + x / 6] >> (5 - x % 6)) & 1; }

    static int litCount(const uint8_t* bytes, int count) {
        return std::accumulate(bytes, bytes + count, 0, [](int sum, uint8_t b) { return sum + std::popcount(b); });
    }

    HostRecorder host;
};

TEST_F(ModelEngineTest, PlaysSixtyTwoFramesIntoRowsSixtyFourOnward) {
    gModelEngine->renderModels();
    ASSERT_EQ(display->runs.size(), 62u);
    for (const auto& run : display->runs) {
        EXPECT_EQ(run.place(), (std::pair{0, 64}));
        EXPECT_EQ(run.bytes.size(), 2560u);
    }
    EXPECT_EQ(host.sleeps, std::vector<uint32_t>(62, 40));
    EXPECT_NE(display->runs[0].bytes, display->runs[30].bytes);
}

TEST_F(ModelEngineTest, FrameZeroStandsTheCubesAboveEachOther) {
    gModelEngine->renderModels();
    const uint8_t* frame = display->runs[0].bytes.data();
    // First cube at (0, 30, 0), unturned: vertex 0 (-20, 10, 20) projects with k = 1 + 20/90
    // to (-24, 12), vertex 2 (20, 10, -20) with k = 1 - 20/90 to (15, 7); origin (110, 32).
    EXPECT_TRUE(bufferPixel(frame, 86, 44));
    EXPECT_TRUE(bufferPixel(frame, 125, 39));
    // Second cube at (0, -30, 0): vertex 4 (-20, -10, 20) projects to (-24, -12).
    EXPECT_TRUE(bufferPixel(frame, 86, 20));
    // Both are centred on column 110: the lit columns of row 44 mirror about it.
    std::vector<int> lit;
    for (int x = 0; x < 240; ++x)
        if (bufferPixel(frame, x, 44)) lit.push_back(x);
    ASSERT_FALSE(lit.empty());
    EXPECT_EQ(lit.front() + lit.back(), 220);
}

TEST_F(ModelEngineTest, EdgeOnOnePointPlotsOnePixel) {
    gModelEngine->drawEdge(3.0f, 4.0f, 0.0f, 3.4f, 4.2f, 0.0f);
    EXPECT_EQ(litCount(gModelEngine->pixelBuffer(), ModelEngine::pixelBytes), 1);
    EXPECT_TRUE(bufferPixel(gModelEngine->pixelBuffer(), 113, 36));
}

TEST_F(ModelEngineTest, EdgeLeavesOutItsFirstEndAndEndsOnItsSecond) {
    gModelEngine->drawEdge(0.0f, 0.0f, 0.0f, 7.0f, 3.0f, 0.0f);
    const uint8_t* pixels = gModelEngine->pixelBuffer();
    EXPECT_EQ(litCount(pixels, ModelEngine::pixelBytes), 7);
    EXPECT_FALSE(bufferPixel(pixels, 110, 32));
    EXPECT_TRUE(bufferPixel(pixels, 117, 35));
}

TEST_F(ModelEngineTest, PointsOutsideTheBufferAreSkipped) {
    gModelEngine->plotPoint(-1, 5);
    gModelEngine->plotPoint(5, -1);
    gModelEngine->plotPoint(240, 5);
    gModelEngine->plotPoint(5, 128);
    EXPECT_EQ(litCount(gModelEngine->pixelBuffer(), ModelEngine::pixelBytes), 0);
    gModelEngine->plotPoint(239, 127);  // the last byte of the buffer
    EXPECT_EQ(gModelEngine->pixelBuffer()[ModelEngine::pixelBytes - 1], 0x01);
}

TEST_F(ModelEngineTest, NothingIsDrawnWhereTheBandDoesNotExist) {
    useDisplay(3, 128, 64);
    gModelEngine->renderModels();
    useDisplay(0, 240, 64);
    gModelEngine->renderModels();
    EXPECT_TRUE(display->calls.empty());
    EXPECT_TRUE(host.sleeps.empty());
}

TEST_F(ModelEngineTest, WiderRowsSendWholeRowsOfTheBand) {
    useDisplay(0, 320, 240);
    gModelEngine->renderModels();
    ASSERT_EQ(display->runs.size(), 62u);
    EXPECT_EQ(display->runs[0].place(), (std::pair{0, 64}));
    EXPECT_EQ(display->runs[0].bytes.size(), 56u * 64u);
}

} // namespace
} // namespace tessaranth::test
