// SPDX-License-Identifier: GPL-2.0-or-later
#include "screens/TrackText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace tessaranth::tracktext {
namespace {

struct Parsed {
    std::string artist;
    std::string title;
};

Parsed parse(const std::string& windowTitle) {
    char artist[nameSize];
    char title[nameSize];
    std::memset(artist, 'x', sizeof artist);
    std::memset(title, 'x', sizeof title);
    parseWindowTitle(windowTitle.c_str(), artist, title);
    return {artist, title};
}

template <typename Format, typename... Args>
std::string info(Format format, Args... args) {
    char text[infoSize];
    std::memset(text, 'x', sizeof text);
    format(text, args...);
    return text;
}

TEST(WindowTitle, EntryNumberArtistAndSongAreTakenApart) {
    const Parsed p = parse("12. The Artist - The Song - Winamp");
    EXPECT_EQ(p.artist, "The Artist");
    EXPECT_EQ(p.title, "The Song");
}

TEST(WindowTitle, ArtistIsEverythingBeforeTheLastSeparatorAndTextAfterTheSuffixGoes) {
    const Parsed p = parse("3. Band - Album - Song - Winamp [Paused]");
    EXPECT_EQ(p.artist, "Band - Album");
    EXPECT_EQ(p.title, "Song");
}

TEST(WindowTitle, TwoSpacesBeforeTheDashLeaveOneLeadingSpaceOnTheSong) {
    const Parsed p = parse("3. Band  - Song - Winamp");
    EXPECT_EQ(p.artist, "Band");
    EXPECT_EQ(p.title, " Song");
}

TEST(WindowTitle, WithoutSeparatorTheArtistIsEmpty) {
    const Parsed p = parse("7. Only A Song - Winamp");
    EXPECT_EQ(p.artist, "");
    EXPECT_EQ(p.title, "Only A Song");
}

TEST(WindowTitle, TheLastHostSuffixCounts) {
    const Parsed p = parse("1. Friends - Winamp Fans - Song - Winamp");
    EXPECT_EQ(p.artist, "Friends - Winamp Fans");
    EXPECT_EQ(p.title, "Song");
}

TEST(WindowTitle, TextWithoutSuffixOrDotIsKept) {
    EXPECT_EQ(parse("Nothing playing").title, "Nothing playing");
    EXPECT_EQ(parse("Band - Song").artist, "Band");
    EXPECT_EQ(parse("Band - Song").title, "Song");
    EXPECT_EQ(parse("Song without number - Winamp").title, "Song without number");
}

TEST(WindowTitle, ADotAtTheVeryEndKeepsTheText) {
    EXPECT_EQ(parse("Version 5.").title, "Version 5.");
    EXPECT_EQ(parse("Ends with dot. - Winamp").title, "Ends with dot.");
}

TEST(WindowTitle, EmptyAndSuffixOnlyTitlesGiveEmptyTexts) {
    EXPECT_EQ(parse("").title, "");
    EXPECT_EQ(parse("").artist, "");
    EXPECT_EQ(parse("- Winamp").title, "");
    EXPECT_EQ(parse("1.").title, "1.");
    EXPECT_EQ(parse("1. ").title, "");
}

TEST(WindowTitle, LongPartsAreCutTo127Characters) {
    const std::string artist(140, 'a');
    const std::string song(100, 's');
    const Parsed p = parse("1. " + artist + " - " + song + " - Winamp");
    EXPECT_EQ(p.artist, std::string(127, 'a'));
    EXPECT_EQ(p.title, song);

    const Parsed q = parse("1. " + std::string(200, 'q') + " - Winamp");
    EXPECT_EQ(q.title, std::string(127, 'q'));
    EXPECT_EQ(q.artist, "");
}

TEST(WindowTitle, OnlyTheFirst255CharactersAreRead) {
    // Without a terminator inside 255 characters the text ends there.
    std::string huge(255, 'z');
    huge += " - tail";
    const Parsed p = parse(huge);
    EXPECT_EQ(p.artist, "");
    EXPECT_EQ(p.title, std::string(127, 'z'));
}

TEST(WindowTitle, NullTitleGivesEmptyTexts) {
    char artist[nameSize] = "old";
    char title[nameSize] = "old";
    parseWindowTitle(nullptr, artist, title);
    EXPECT_STREQ(artist, "");
    EXPECT_STREQ(title, "");
}

TEST(TimeText, ElapsedOrRemainingThenLength) {
    EXPECT_EQ(info(formatTime, 65500, 245, true), "01:05/04:05");
    EXPECT_EQ(info(formatTime, 65500, 245, false), "03:00/04:05");
    EXPECT_EQ(info(formatTime, 0, 0, true), "00:00/00:00");
    EXPECT_EQ(info(formatTime, 999, 3600, true), "00:00/60:00");
}

TEST(TimeText, UnknownLengthShowsDashes) {
    EXPECT_EQ(info(formatTime, 12345, -1, true), "--:--/--:--");
    EXPECT_EQ(info(formatTime, 12345, -1, false), "--:--/--:--");
}

TEST(TimeText, PastTheEndDividesTowardZero) {
    EXPECT_EQ(info(formatTime, 300000, 245, false), "00:-55/04:05");
}

TEST(TimeText, ExtremeValuesStayWithinFifteenCharacters) {
    const std::string longest = info(formatTime, INT_MIN, INT_MAX, false);
    EXPECT_EQ(longest.size(), 15u);
    EXPECT_EQ(longest.substr(0, 9), "35827185:");
    EXPECT_EQ(info(formatTime, INT_MAX, INT_MAX, true).size(), 15u);
}

TEST(BitrateText, IsFourCharactersWideFromOneTo9999) {
    EXPECT_EQ(info(formatBitrate, 5), "05  ");
    EXPECT_EQ(info(formatBitrate, 64), "64  ");
    EXPECT_EQ(info(formatBitrate, 99), "99  ");
    EXPECT_EQ(info(formatBitrate, 100), "100 ");
    EXPECT_EQ(info(formatBitrate, 128), "128 ");
    EXPECT_EQ(info(formatBitrate, 999), "999 ");
    EXPECT_EQ(info(formatBitrate, 1411), "1411");
    EXPECT_EQ(info(formatBitrate, 0), "---");
}

TEST(BitrateText, UnusualValuesStayBounded) {
    EXPECT_EQ(info(formatBitrate, 123456), "123456");
    EXPECT_EQ(info(formatBitrate, INT_MIN), "-2147483648  ");
}

TEST(SamplerateText, TwoDigitsOrDashes) {
    EXPECT_EQ(info(formatSamplerate, 44), "44");
    EXPECT_EQ(info(formatSamplerate, 8), "08");
    EXPECT_EQ(info(formatSamplerate, 0), "--");
}

TEST(ChannelsText, MonoOrStereoAndAnythingElseLeavesTheText) {
    char text[infoSize] = "";
    formatChannels(text, 1);
    EXPECT_STREQ(text, "Mono  ");
    formatChannels(text, 6);
    EXPECT_STREQ(text, "Mono  ");
    formatChannels(text, 2);
    EXPECT_STREQ(text, "Stereo");
    formatChannels(text, 0);
    EXPECT_STREQ(text, "Stereo");
}

TEST(TrackText, NumberFromOneRightAlignedInThreeOrFourPlaces) {
    EXPECT_EQ(info(formatTrack, 4, 12, false), "  5/ 12");
    EXPECT_EQ(info(formatTrack, 4, 12, true), "   5/  12");
    EXPECT_EQ(info(formatTrack, 1233, 4000, false), "1234/4000");
}

TEST(TrackText, TheLastIndexDoesNotOverflow) {
    EXPECT_EQ(info(formatTrack, INT_MAX, INT_MAX, true), "2147483648/2147");
}

} // namespace
} // namespace tessaranth::tracktext
