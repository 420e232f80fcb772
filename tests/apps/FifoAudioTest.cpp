// SPDX-License-Identifier: GPL-2.0-or-later
#include "audio/FifoAudio.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tessaranth::host {
namespace {

class FifoAudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }
    void TearDown() override {
        if (writer >= 0) close(writer);
        std::remove(path.c_str());
    }
    void openWriter() { writer = open(path.c_str(), O_WRONLY | O_NONBLOCK); }
    // Writes frames first..first+count-1 as (n, -n).
    void writeFrames(int first, int count) {
        std::vector<int16_t> data;
        for (int n = first; n < first + count; ++n) {
            data.push_back(static_cast<int16_t>(n));
            data.push_back(static_cast<int16_t>(-n));
        }
        writeBytes(reinterpret_cast<const uint8_t*>(data.data()), data.size() * 2);
    }
    void writeBytes(const uint8_t* bytes, std::size_t count) {
        ASSERT_EQ(write(writer, bytes, count), static_cast<ssize_t>(count));
    }

    std::string path = ::testing::TempDir() + "audio-" + std::to_string(getpid()) + ".fifo";
    int writer = -1;
    AudioBlock block;
};

TEST_F(FifoAudioTest, KeepsTheLatestFramesOldestFirst) {
    FifoAudio fifo(path);
    ASSERT_TRUE(fifo.open());
    openWriter();
    ASSERT_GE(writer, 0);
    writeFrames(1, 1000);
    fifo.read();
    fifo.latest(block);
    EXPECT_EQ(block.samples[0][0], 1000 - 575);
    EXPECT_EQ(block.samples[1][0], -(1000 - 575));
    EXPECT_EQ(block.samples[0][575], 1000);
    EXPECT_EQ(block.samples[1][575], -1000);
}

TEST_F(FifoAudioTest, FramesSplitAcrossReadsStayWhole) {
    FifoAudio fifo(path);
    ASSERT_TRUE(fifo.open());
    openWriter();
    const int16_t frame[2] = {0x1234, -0x1234};
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame);
    writeBytes(bytes, 3);
    fifo.read();
    writeBytes(bytes + 3, 1);
    writeFrames(7, 1);
    fifo.read();
    fifo.latest(block);
    EXPECT_EQ(block.samples[0][574], 0x1234);
    EXPECT_EQ(block.samples[1][574], -0x1234);
    EXPECT_EQ(block.samples[0][575], 7);
    EXPECT_EQ(block.samples[1][575], -7);
}

TEST_F(FifoAudioTest, DrainThrowsAwayStaleAudio) {
    FifoAudio fifo(path);
    ASSERT_TRUE(fifo.open());
    openWriter();
    writeFrames(1, 2000);
    fifo.drain();
    fifo.latest(block);
    for (std::size_t i = 0; i < audioBlockFrames; ++i) EXPECT_EQ(block.samples[0][i], 0);
    writeFrames(5000, 10);
    fifo.read();
    fifo.latest(block);
    EXPECT_EQ(block.samples[0][575], 5009);
    EXPECT_EQ(block.samples[0][565], 0);
}

TEST_F(FifoAudioTest, NeverBlocksWithoutAWriterOrWithoutTheFifo) {
    FifoAudio fifo(path);
    ASSERT_TRUE(fifo.open());
    fifo.read();  // no writer: returns at once
    openWriter();
    close(writer);
    writer = -1;
    fifo.read();  // the writer has gone: returns at once
    FifoAudio missing(path + ".missing");
    EXPECT_FALSE(missing.open());
    missing.read();
    EXPECT_FALSE(missing.isOpen());
}

} // namespace
} // namespace tessaranth::host
