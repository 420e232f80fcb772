// SPDX-License-Identifier: GPL-2.0-or-later
// An MPRIS player with a track list, for the tests (mpv's MPRIS script has none): it owns
// org.mpris.MediaPlayer2.tracks on a bus and answers the properties of the player, the root and
// the TrackList interfaces and GetTracksMetadata from a thread of its own. It plays track 1 of
// tracks named /org/tessaranth/Track/<n> ("Track <n>"); the test changes the list and the player
// sends the TrackList signals; it counts how often its track list is read.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct DBusConnection;
struct DBusMessage;

namespace tessaranth::test {

class TrackListPlayer {
public:
    // busAddress empty: the session bus. Check ok().
    explicit TrackListPlayer(const std::string& busAddress = {});
    ~TrackListPlayer();
    TrackListPlayer(const TrackListPlayer&) = delete;
    TrackListPlayer& operator=(const TrackListPlayer&) = delete;

    bool ok() const { return connection_ != nullptr; }
    // Tracks 1 to `count`, then TrackListReplaced.
    void replaceTracks(int count);
    // `count` more tracks after the last, each with its own TrackAdded, as fast as they go out.
    void addTracks(int count);
    // The Tracks property as a list of strings instead of object paths, with these in it.
    void answerTracksAsTexts(std::vector<std::string> ids);

    int trackListReads() const { return trackListReads_; }
    int metadataReads() const { return metadataReads_; }
    // The most ids that one GetTracksMetadata asked for.
    std::size_t mostIdsAsked() const { return mostIdsAsked_; }

    // Answers a method call, on the player's thread.
    void answer(DBusMessage* call);

private:
    DBusMessage* propertiesOf(DBusMessage* call);
    DBusMessage* metadataOf(DBusMessage* call);
    void send(DBusMessage* message);

    DBusConnection* connection_ = nullptr;
    std::mutex mutex_;
    int trackCount_ = 0;                // guarded by mutex_
    std::vector<std::string> textIds_;  // guarded by mutex_
    std::atomic<int> trackListReads_ = 0;
    std::atomic<int> metadataReads_ = 0;
    std::atomic<std::size_t> mostIdsAsked_ = 0;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

} // namespace tessaranth::test
