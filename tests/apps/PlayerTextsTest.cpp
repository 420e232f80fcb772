// SPDX-License-Identifier: GPL-2.0-or-later
// What players send, turned into the player state: MPRIS values of any type and MPD's answers,
// their texts made fit for the display.
#include "players/MpdState.h"
#include "players/MprisModel.h"
#include "players/TrackText.h"

#include <mpd/client.h>

#include <gtest/gtest.h>

#include <limits>

namespace tessaranth::host {
namespace {

MprisValue text(std::string value) { return MprisValue::ofText(std::move(value)); }
MprisValue integer(int64_t value) { return MprisValue::ofInteger(value); }
MprisValue real(double value) { return MprisValue::ofReal(value); }
MprisValue list(std::vector<MprisValue> items) { return MprisValue::ofList(std::move(items)); }
MprisValue map(std::vector<MprisEntry> entries) { return MprisValue::ofMap(std::move(entries)); }
MprisValue metadata(const std::string& id, const std::string& title, const std::string& url) {
    return map({{"mpris:trackid", text(id)}, {"xesam:title", text(title)}, {"xesam:artist", list({text("Test Artist")})},
                {"xesam:url", text(url)}, {"mpris:length", integer(5000000)}});
}

TEST(PlayerTexts, UnicodeBecomesTheAsciiTheDisplayCanShow) {
    EXPECT_EQ(displayText("Caf\u00e9 \u2013 Z\u00fcrich \u201cLive\u201d\u2026"), "Cafe - Zurich \"Live\"...");
    EXPECT_EQ(displayText("Stra\u00dfe, \u00c6sir, \u0141\u00f3d\u017a, \u0152uvre"), "Strasse, AEsir, Lodz, OEuvre");
    EXPECT_EQ(displayText("\u266b \U0001F3B5 \u65e5"), "? ? ?");
    EXPECT_EQ(displayText("tab\there\nline\x7f"), "tab here line ");
    // Broken UTF-8: a stray continuation byte, an overlong slash, a surrogate, a cut sequence.
    EXPECT_EQ(displayText("a\x80" "b\xc0\xaf" "c\xed\xa0\x80" "d\xe2\x82"), "a?b??c???d??");
    EXPECT_EQ(displayText(std::string(1000, 'x')).size(), longestTrackText);
    EXPECT_EQ(displayText("\u00e6\u00e6\u00e6", 5), "aeaea") << "a two-letter fold is cut at the limit too";
}

TEST(PlayerTexts, FileUrlsBecomePathsAndNamesFollowTheLastSlash) {
    EXPECT_EQ(pathOfUrl("file:///music/a%20b/%C3%A9t%C3%A9.flac"), "/music/a b/ete.flac");
    EXPECT_EQ(pathOfUrl("file:///x/100%25%2"), "/x/100%%2");
    EXPECT_EQ(pathOfUrl("https://radio.invalid/live?x=%20"), "https://radio.invalid/live?x=%20");
    EXPECT_EQ(fileNameOf("/music/a b/ete.flac"), "ete.flac");
    EXPECT_EQ(fileNameOf("plain"), "plain");
}

TEST(PlayerTexts, MprisMetadataOfATrack) {
    MprisTrack track = trackOf(metadata("/0", "First Tone", "file:///tmp/a%20b.flac"));
    EXPECT_TRUE(track.known);
    EXPECT_EQ(track.entry.title, "First Tone");
    EXPECT_EQ(track.entry.artist, "Test Artist");
    EXPECT_EQ(track.entry.fileName, "/tmp/a b.flac");
    EXPECT_EQ(track.lengthSeconds, 5);
    EXPECT_EQ(track.sampleRate, 0) << "nothing said: unknown";

    // Several artists, no title: the file name stands in; a length sent as a double.
    track = trackOf(map({{"xesam:artist", list({text("One"), integer(3), text(""), text("Two")})},
                         {"xesam:url", text("file:///m/Song%201.ogg")}, {"mpris:length", real(2.5e8)}}));
    EXPECT_EQ(track.entry.artist, "One, Two");
    EXPECT_EQ(track.entry.title, "Song 1.ogg");
    EXPECT_EQ(track.lengthSeconds, 250);

    // Wrong types count as not said; a track without a file gets a name the playlist can show.
    track = trackOf(map({{"xesam:title", text("AC/DC Live")}, {"xesam:artist", text("Band")},
                         {"xesam:url", integer(7)}, {"mpris:length", text("long")}}));
    EXPECT_EQ(track.entry.title, "AC/DC Live");
    EXPECT_EQ(track.entry.fileName, "Band - AC-DC Live.---");
    EXPECT_EQ(track.lengthSeconds, -1);
    // Artist and title as long as a text may be: the stand-in name keeps to that length too.
    track = trackOf(map({{"xesam:title", text(std::string(300, 't'))}, {"xesam:artist", text(std::string(300, 'a'))}}));
    EXPECT_EQ(track.entry.fileName, std::string(longestTrackText - 4, 'a') + ".---");

    EXPECT_FALSE(trackOf(map({{"mpris:trackid", text("/org/mpris/MediaPlayer2/TrackList/NoTrack")}})).known);
    EXPECT_FALSE(trackOf(text("not a map")).known);
    MprisValue huge;
    huge.kind = MprisValue::Kind::large;
    huge.large = std::numeric_limits<uint64_t>::max();
    EXPECT_EQ(trackOf(map({{"xesam:title", text("t")}, {"mpris:length", huge}})).lengthSeconds, INT32_MAX);
}

TEST(PlayerTexts, MprisPlayerPropertiesMakeThePlayerState) {
    MprisModel model;
    EXPECT_TRUE(model.state().playlist.empty()) << "no track yet";
    model.setProperty("Metadata", metadata("/t/2", "Second", "file:///x/two.flac"));
    model.setProperty("PlaybackStatus", text("Paused"));
    model.setProperty("LoopStatus", text("Playlist"));
    model.setProperty("Shuffle", integer(1));  // not a boolean: not said
    model.setProperty("Position", integer(65500000));
    model.setProperty("Rate", real(std::numeric_limits<double>::quiet_NaN()));
    PlayerState s = model.state();
    ASSERT_EQ(s.playlist.size(), 1u) << "without a track list, the current track alone";
    EXPECT_EQ(s.current, 0);
    EXPECT_EQ(s.playState, PlayState::paused);
    EXPECT_TRUE(s.repeat);
    EXPECT_FALSE(s.shuffle);
    EXPECT_EQ(s.positionMillis, 65500);
    EXPECT_EQ(s.lengthSeconds, 5);
    EXPECT_EQ(model.rate(), 1);

    model.setTrackList(list({metadata("/t/1", "First", "file:///x/one.flac"), text("junk"),
                             metadata("/t/2", "Old title", "file:///x/two.flac"), metadata("/t/3", "Third", "")}));
    s = model.state();
    ASSERT_EQ(s.playlist.size(), 3u);
    EXPECT_EQ(s.current, 1);
    EXPECT_EQ(s.playlist[1].title, "Second") << "the current metadata is the newer";
    EXPECT_EQ(s.playlist[2].fileName, "Test Artist - Third.---");

    model.setProperty("Metadata", metadata("/t/9", "Elsewhere", ""));
    EXPECT_EQ(model.state().playlist.size(), 1u) << "a current track missing from the list stands alone";
    model.setProperty("LoopStatus", text("None"));
    model.setProperty("PlaybackStatus", text("Playing"));
    model.setProperty("Metadata", map({}));
    s = model.state();
    EXPECT_TRUE(s.playlist.empty());
    EXPECT_EQ(s.playState, PlayState::stopped) << "playing nothing is stopped";
    EXPECT_FALSE(s.repeat);
}

// An MPD song or status built from the pairs libmpdclient reads off the connection.
mpd_song* song(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    mpd_song* result = nullptr;
    for (const auto& [name, value] : pairs) {
        const mpd_pair pair{name, value};
        if (!result) result = mpd_song_begin(&pair);
        else mpd_song_feed(result, &pair);
    }
    return result;
}

TEST(PlayerTexts, MpdSongsAndStatus) {
    mpd_song* tagged = song({{"file", "dir/one.flac"}, {"Title", "Caf\u00e9"}, {"Artist", "M\u00f6tley"}});
    PlaylistEntry entry = entryOfSong(tagged);
    EXPECT_EQ(entry.title, "Cafe");
    EXPECT_EQ(entry.artist, "Motley");
    EXPECT_EQ(entry.fileName, "dir/one.flac");
    mpd_song_free(tagged);
    mpd_song* bare = song({{"file", "dir/\u00e9t\u00e9.ogg"}, {"Artist", "Only Artist"}});
    entry = entryOfSong(bare);
    EXPECT_EQ(entry.title, "ete.ogg");
    EXPECT_EQ(entry.artist, "") << "no title: the file name alone, as before";
    mpd_song_free(bare);

    mpd_status* status = mpd_status_begin();
    for (const auto& [name, value] : {std::pair{"state", "pause"}, {"elapsed", "65.500"}, {"duration", "245.2"},
                                      {"time", "65:245"}, {"bitrate", "99999999999"}, {"audio", "48000:24:1"},
                                      {"random", "1"}, {"song", "3"}}) {
        const mpd_pair pair{name, value};
        mpd_status_feed(status, &pair);
    }
    PlayerState s;
    takeStatus(status, s);
    mpd_status_free(status);
    EXPECT_EQ(s.playState, PlayState::paused);
    EXPECT_EQ(s.positionMillis, 65500);
    EXPECT_EQ(s.lengthSeconds, 245);
    EXPECT_GE(s.bitrate, 0) << "a bitrate past int32 is clamped, not negative";
    EXPECT_EQ(s.sampleRate, 48000);
    EXPECT_EQ(s.channels, 1);
    EXPECT_TRUE(s.shuffle);
    EXPECT_FALSE(s.repeat);
    EXPECT_EQ(s.current, 3);
}

} // namespace
} // namespace tessaranth::host
