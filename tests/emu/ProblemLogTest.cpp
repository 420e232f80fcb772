// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ProblemLog.h"

#include <gtest/gtest.h>

namespace tessaranth::emu {
namespace {

TEST(EmuProblemLogTest, KeepsTheFirstHundredAndCountsTheRest) {
    ProblemLog log;
    EXPECT_TRUE(log.empty());
    for (int i = 0; i < 150; ++i) log.report("problem " + std::to_string(i));
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(log.total(), 150u);
    ASSERT_EQ(log.messages().size(), ProblemLog::kKept);
    EXPECT_EQ(log.messages().back(), "problem 99");
    EXPECT_NE(log.text().find("problem 0\n"), std::string::npos);
    EXPECT_NE(log.text().find("... and 50 more\n"), std::string::npos);
    log.clear();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(log.text(), "");
}

TEST(EmuProblemLogTest, BytesShowAsTwoHexDigitsAndAddressesAsFour) {
    EXPECT_EQ(hexText(0x0B), "0x0B");
    EXPECT_EQ(hexText(0x378), "0x0378");
    EXPECT_EQ(hexText(0x1C00), "0x1C00");
}

} // namespace
} // namespace tessaranth::emu
