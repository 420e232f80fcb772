// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/PlayerWindow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tessaranth::host {
namespace {

class PlayerWindowTest : public ::testing::Test {
protected:
    PlayerWindowTest() {
        state.playlist = {{"Ada", "First", "/m/a/First.mp3"},
                          {"Bo Dee", "Second Song", "/m/b/Second Song.flac"},
                          {"", "Untagged", "stream.ogg"}};
        state.current = 1;
        state.playState = PlayState::playing;
        state.positionMillis = 65500;
        state.lengthSeconds = 245;
        state.sampleRate = 44100;
        state.bitrate = 192;
        state.channels = 2;
    }

    // Sends through the record the plug-in gets, as the plug-in does.
    intptr_t ask(intptr_t lParam, uintptr_t wParam = 0) {
        auto* record = static_cast<TessaranthPlayerWindow*>(window.handle());
        return record->sendMessage(record->context, message::user, wParam, lParam);
    }
    std::string titleRead(int32_t size = 256) {
        auto* record = static_cast<TessaranthPlayerWindow*>(window.handle());
        std::string buffer(static_cast<std::size_t>(size), '#');
        const int32_t length = record->getWindowText(record->context, buffer.data(), size);
        EXPECT_EQ(buffer[static_cast<std::size_t>(length)], '\0');
        return buffer.substr(0, static_cast<std::size_t>(length));
    }

    PlayerState state;
    PlayerWindow window{state};
};

TEST_F(PlayerWindowTest, AnswersEveryMessageFromTheState) {
    EXPECT_EQ(ask(104), 1);
    EXPECT_EQ(ask(105, 0), 65500);
    EXPECT_EQ(ask(105, 1), 245);
    EXPECT_EQ(ask(126, 0), 44);
    EXPECT_EQ(ask(126, 1), 192);
    EXPECT_EQ(ask(126, 2), 2);
    EXPECT_EQ(ask(124), 3);
    EXPECT_EQ(ask(125), 1);
    EXPECT_EQ(ask(250), 0);
    EXPECT_EQ(ask(251), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(211, 0)), "/m/a/First.mp3");
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(211, 2)), "stream.ogg");
    EXPECT_EQ(ask(999), 0);
}

TEST_F(PlayerWindowTest, FollowsChangesOfTheState) {
    state.playState = PlayState::paused;
    state.shuffle = true;
    state.repeat = true;
    state.sampleRate = 48000;
    state.channels = 1;
    state.lengthSeconds = -1;
    state.current = 2;
    EXPECT_EQ(ask(104), 3);
    EXPECT_EQ(ask(250), 1);
    EXPECT_EQ(ask(251), 1);
    EXPECT_EQ(ask(126, 0), 48);
    EXPECT_EQ(ask(126, 2), 1);
    EXPECT_EQ(ask(105, 1), -1);
    EXPECT_EQ(ask(125), 2);
    state.sampleRate = 22050;
    EXPECT_EQ(ask(126, 0), 22);
}

TEST_F(PlayerWindowTest, AStoppedPlayerHasNoSamplerateOrBitrate) {
    state.playState = PlayState::stopped;
    EXPECT_EQ(ask(104), 0);
    EXPECT_EQ(ask(126, 0), 0);
    EXPECT_EQ(ask(126, 1), 0);
    EXPECT_EQ(ask(126, 2), 2);
}

TEST_F(PlayerWindowTest, FileNamesOutsideThePlaylistAreNull) {
    EXPECT_EQ(ask(211, 3), 0);
    EXPECT_EQ(ask(211, static_cast<uintptr_t>(-1)), 0);  // entry "-1" of a window above the first song
    state.playlist.clear();
    EXPECT_EQ(ask(211, 0), 0);
    EXPECT_EQ(ask(124), 0);
    EXPECT_EQ(ask(125), 0);
}

// Of a player's list of 100,000 entries, the three around entry 50,000: the answers and the title
// count in the player's whole list; entries outside the part have no name, as entries past the
// end have none.
TEST_F(PlayerWindowTest, APartOfALongListAnswersWithThePlayersNumbers) {
    state.firstEntry = 49999;
    state.laterEntries = 49998;
    state.current = 50000;
    EXPECT_EQ(ask(124), 100000);
    EXPECT_EQ(ask(125), 50000);
    EXPECT_EQ(ask(211, 49998), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(211, 49999)), "/m/a/First.mp3");
    EXPECT_STREQ(reinterpret_cast<const char*>(ask(211, 50001)), "stream.ogg");
    EXPECT_EQ(ask(211, 50002), 0);
    EXPECT_EQ(ask(211, static_cast<uintptr_t>(INT64_MIN)), 0);
    EXPECT_EQ(titleRead(), "50001. Bo Dee - Second Song - Winamp");
    state.current = 60000;  // not among those passed on
    EXPECT_EQ(titleRead(), "Winamp");
    state.laterEntries = INT32_MAX;
    EXPECT_EQ(ask(124), INT32_MAX) << "a length past the answer's range is its largest";
}

TEST_F(PlayerWindowTest, TitleNamesTheEntryArtistAndSongAndThePlayState) {
    EXPECT_EQ(titleRead(), "2. Bo Dee - Second Song - Winamp");
    state.playState = PlayState::paused;
    EXPECT_EQ(titleRead(), "2. Bo Dee - Second Song - Winamp [Paused]");
    state.playState = PlayState::stopped;
    state.current = 2;
    EXPECT_EQ(titleRead(), "3. Untagged - Winamp [Stopped]");
    state.playlist.clear();
    EXPECT_EQ(titleRead(), "Winamp");
}

TEST_F(PlayerWindowTest, TitleIsCutToTheCallersBuffer) {
    EXPECT_EQ(titleRead(8), "2. Bo D");
    EXPECT_EQ(titleRead(1), "");
    auto* record = static_cast<TessaranthPlayerWindow*>(window.handle());
    char untouched = 'x';
    EXPECT_EQ(record->getWindowText(record->context, &untouched, 0), 0);
    EXPECT_EQ(untouched, 'x');
    state.playlist[1].title = std::string(600, 'z');
    EXPECT_EQ(titleRead(256).size(), 255u);
}

TEST_F(PlayerWindowTest, CloseCommandIsNoted) {
    auto* record = static_cast<TessaranthPlayerWindow*>(window.handle());
    record->sendMessage(record->context, message::command, 40002, 0);
    EXPECT_FALSE(window.closeRequested());
    record->sendMessage(record->context, message::command, message::closeCommand, 0);
    EXPECT_TRUE(window.closeRequested());
}

} // namespace
} // namespace tessaranth::host
