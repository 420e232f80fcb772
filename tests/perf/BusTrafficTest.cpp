// SPDX-License-Identifier: GPL-2.0-or-later
// What today's serial displays put on the wire in the standard scenes, taken from the traffic
// their emulators received, against the goals for the 128x64 panels: a settled picture sends
// nothing, a scrolling title little, and everything on still leaves the default pace of 60 ms
// a frame on the slowest bus; no frame sends more than the full redraw of a periodic refresh.
#include "BusScenes.h"

#include "controllers/ShadowPageController.h"
#include "geometry/DisplayFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace tessaranth::test {

namespace {

constexpr double frameIntervalMicros = 60000.0;
constexpr double slowestI2cHz = 100e3;

class BusTraffic : public ::testing::TestWithParam<SerialChip> {
protected:
    SceneTraffic measure(SceneContent content) {
        BusSceneRunner runner(GetParam(), content);
        SceneTraffic traffic = runner.measure();
        const int width = displaySize(GetParam().displayFormat).width;
        EXPECT_GE(traffic.fullRedraw.bytes, static_cast<uint64_t>(width * height() / 8))
            << runner.name() << ": the refresh sends the whole picture";
        EXPECT_LE(traffic.worst().bytes, traffic.fullRedraw.bytes) << runner.name() << " sends more than a full redraw";
        EXPECT_EQ(traffic.changedOnly.size(),
                  static_cast<size_t>(ShadowPageController::refreshFrames - 1 - BusSceneRunner::settlingFrames));
        return traffic;
    }
    int height() const { return displaySize(GetParam().displayFormat).height; }
    // The time the frame's traffic takes on the slowest bus the controller is used on: I2C at
    // 100 kHz, SPI at the driver's clock with its pauses.
    static double slowestBusMicros(const SceneTraffic& traffic, const FrameTraffic& frame) {
        return frame.i2cMessages > 0 ? i2cMicros(frame, slowestI2cHz) : spiMicros(frame, traffic.spiClockHz);
    }
};

TEST_P(BusTraffic, ASettledPictureSendsNothing) {
    const SceneTraffic traffic = measure(SceneContent::idle);
    EXPECT_EQ(traffic.worst().bytes, 0u);
}

// A scroll step changes every column of the title's row, an eighth of a 64-row picture; the
// other frames send only the time when it changes.
TEST_P(BusTraffic, AScrollingTitleSendsItsOwnRowsAndATenthOfARedrawOverall) {
    const SceneTraffic traffic = measure(SceneContent::text);
    const auto full = static_cast<double>(traffic.fullRedraw.bytes);
    EXPECT_GT(traffic.worst().bytes, 0u) << "the title scrolls";
    EXPECT_LE(static_cast<double>(traffic.worst().bytes), full * 8 / height());
    EXPECT_LE(traffic.meanBytes(), full / 10);
}

TEST_P(BusTraffic, EverythingOnKeepsTheDefaultPaceOnTheSlowestBus) {
    const SceneTraffic traffic = measure(SceneContent::everything);
    const FrameTraffic worst = traffic.worst();
    EXPECT_GT(worst.bytes, 0u);
    if (displaySize(GetParam().displayFormat).width != 128 || height() != 64) return;  // the 128x64 panels' goal
    EXPECT_LE(slowestBusMicros(traffic, worst), frameIntervalMicros);
    EXPECT_GT(slowestBusMicros(traffic, traffic.fullRedraw), frameIntervalMicros)
        << "the pace is kept only by sending what changed";
    EXPECT_LE(static_cast<double>(worst.bytes), 0.64 * static_cast<double>(traffic.fullRedraw.bytes));
}

TEST_P(BusTraffic, VisualisationsSendTheirChangesAndNoMoreThanARedraw) {
    const SceneTraffic traffic = measure(SceneContent::vis);
    EXPECT_GT(traffic.meanBytes(), 0);
}

INSTANTIATE_TEST_SUITE_P(Controllers, BusTraffic, ::testing::ValuesIn(serialChips()),
                         [](const ::testing::TestParamInfo<SerialChip>& chip) {
                             std::string name = chip.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace tessaranth::test
