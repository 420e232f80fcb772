// SPDX-License-Identifier: GPL-2.0-or-later
#include "PluginFixture.h"

#include "globals/Globals.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

namespace tessaranth::test {
namespace {

using SettingsRecord = PluginFixture;

TEST_F(SettingsRecord, FreshRecordHasTheDefaults) {
    const Settings& s = *gSettings;
    EXPECT_STREQ(s.image().version, "v0.9.3 beta");
    EXPECT_EQ(s.updateDelay(), 60);
    EXPECT_EQ(s.interfaceTiming(), 1);
    EXPECT_STREQ(s.background(), "No skin selected");
    const uint16_t positions[] = {s.titleXY(),      s.artistXY(),  s.trackXY(),    s.timeXY(),
                                  s.samplerateXY(), s.bitrateXY(), s.trackinfoXY(), s.statusXY(),
                                  s.repeatXY(),     s.shuffleXY()};
    for (int line = 0; line < 10; ++line) EXPECT_EQ(positions[line], line) << "field on line " << line;
    EXPECT_TRUE(s.showTitle() && s.showArtist());
    EXPECT_FALSE(s.showTrack() || s.showTime() || s.showSamplerate() || s.showBitrate() || s.showTrackinfo() ||
                 s.showStatus() || s.showRepeat() || s.showShuffle());
    EXPECT_EQ(s.analyzerXY(), 0x1118);
    EXPECT_EQ(s.scopeXY(), 0x1128);
    EXPECT_EQ(s.vuMeterXY(), 0x0508);
    EXPECT_EQ(s.playlistXY(), 0x0002);
    EXPECT_EQ(s.lptAddress(), 0x378);
    EXPECT_EQ(s.brightness(), 8);
    EXPECT_EQ(s.currentPosition(), 3);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(s.buttonFunction(i), i);
    EXPECT_EQ(s.image().reserved9, 9);
    EXPECT_EQ(s.image().wiringReset, 1);
    EXPECT_EQ(s.image().modelEngineHeight, 8);
    EXPECT_EQ(s.image().reserved5[0], 1);
    EXPECT_EQ(s.rootKey(), 0x80000001u);
    EXPECT_STREQ(s.keyPath(), "Software\\Kolvy\\Graphical LCD\\Tessaranth");
}

TEST_F(SettingsRecord, PackedPositionWritesKeepTheOtherCoordinate) {
    Settings& s = *gSettings;
    s.setTitleX(7);
    s.setTitleY(300);
    EXPECT_EQ(s.titleXY(), 7 << 8 | 44);
    s.setTitleX(300);
    EXPECT_EQ(s.titleXY(), 44 << 8 | 44);
    s.setVuMeterY(3);
    EXPECT_EQ(s.vuMeterXY(), 0x0503);
}

TEST_F(SettingsRecord, WritesTruncateAsTheRecordStoresThem) {
    Settings& s = *gSettings;
    s.setTitleLength(256);
    EXPECT_EQ(s.titleLength(), 0);
    EXPECT_EQ(s.image().titleLength, 0);
    s.setArtistLength(0x1FF);
    EXPECT_EQ(s.image().artistLength, 0xFF);
    s.setScrollSpeed(300);
    EXPECT_EQ(s.scrollSpeed(), 44);
    s.setUpdateDelay(100000);
    EXPECT_EQ(s.updateDelay(), 100000);
    s.image().lptAddress = 0x12340278;
    EXPECT_EQ(s.lptAddress(), 0x278);
    s.setLptAddress(0x3BC);
    EXPECT_EQ(s.image().lptAddress, 0x3BCu);
    s.setButtonFunction(16, 3);
    s.setButtonFunction(-1, 3);
    s.setButtonFunction(15, 0x102);
    EXPECT_EQ(s.buttonFunction(15), 2);
}

TEST_F(SettingsRecord, BackgroundKeepsAtMost127Characters) {
    const std::string longPath(200, 'p');
    gSettings->setBackground(longPath.c_str());
    EXPECT_EQ(std::string(gSettings->background()), longPath.substr(0, 127));
    gSettings->setBackground(nullptr);
    EXPECT_STREQ(gSettings->background(), "");
}

TEST(SettingNumber, DecimalOrHexadecimalWithAnOptionalMinusAndNothingElse) {
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"0", 0}, {"60", 60}, {"-5", -5}, {"0x3C", 0x3C}, {"0X3c", 0x3C}, {"-0x10", -16},
        {"9223372036854775807", INT64_MAX}, {"0x7FFFFFFFFFFFFFFF", INT64_MAX},
        {"", std::nullopt}, {"-", std::nullopt}, {"0x", std::nullopt}, {"+5", std::nullopt},
        {"--5", std::nullopt}, {"0x-5", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt},
        {"12abc", std::nullopt}, {"0x1G", std::nullopt}, {"9223372036854775808", std::nullopt},
        {"99999999999999999999", std::nullopt}};
    for (const auto& [text, value] : cases) EXPECT_EQ(settingNumber(text), value) << '"' << text << '"';
}

} // namespace
} // namespace tessaranth::test
