// SPDX-License-Identifier: GPL-2.0-or-later
// What MPRIS players send over D-Bus, as it comes off the wire: messages made with libdbus,
// marshalled and taken apart again as a received message is, read into values of every type
// and within their bounds, and taken in by the follower's part for one player.
#include "players/DBusValue.h"
#include "players/MprisNames.h"
#include "players/MprisPlayer.h"
#include "ReportLog.h"

#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tessaranth::host {
namespace {

using Kind = MprisValue::Kind;
using Message = std::unique_ptr<DBusMessage, decltype(&dbus_message_unref)>;

Message signal(std::string_view interface, std::string_view member) {
    Message message(dbus_message_new_signal(std::string(mpris::objectPath).c_str(), std::string(interface).c_str(),
                                            std::string(member).c_str()),
                    dbus_message_unref);
    dbus_message_set_sender(message.get(), ":1.7");
    return message;
}

// The message as a peer's bytes, read back the way libdbus reads what arrives (and validates it).
BusMessage received(const Message& message) {
    dbus_message_set_serial(message.get(), 1);
    char* bytes = nullptr;
    int length = 0;
    EXPECT_TRUE(dbus_message_marshal(message.get(), &bytes, &length));
    DBusError error;
    dbus_error_init(&error);
    Message back(dbus_message_demarshal(bytes, length, &error), dbus_message_unref);
    dbus_free(bytes);
    EXPECT_TRUE(back) << error.message;
    dbus_error_free(&error);
    return back ? busMessageOf(back.get()) : BusMessage{};
}

class Writer {
public:
    explicit Writer(const Message& message) {
        levels_.reserve(80);
        dbus_message_iter_init_append(message.get(), &levels_.emplace_back());
    }
    template <class Basic>
    Writer& basic(int type, Basic value) {
        EXPECT_TRUE(dbus_message_iter_append_basic(&levels_.back(), type, &value));
        return *this;
    }
    Writer& text(const char* value) { return basic(DBUS_TYPE_STRING, value); }
    // An array of fixed-size values at once.
    template <class Fixed>
    Writer& array(int type, const std::vector<Fixed>& values) {
        const char signature[] = {static_cast<char>(type), '\0'};
        open(DBUS_TYPE_ARRAY, signature);
        const Fixed* first = values.data();
        EXPECT_TRUE(dbus_message_iter_append_fixed_array(&levels_.back(), type, &first, static_cast<int>(values.size())));
        return close();
    }
    Writer& open(int type, const char* signature = nullptr) {
        DBusMessageIter& outer = levels_.back();
        EXPECT_TRUE(dbus_message_iter_open_container(&outer, type, signature, &levels_.emplace_back()));
        return *this;
    }
    Writer& close() {
        DBusMessageIter inner = levels_.back();
        levels_.pop_back();
        EXPECT_TRUE(dbus_message_iter_close_container(&levels_.back(), &inner));
        return *this;
    }
    // One entry of an a{sv}: the key and a variant of one basic value.
    template <class Basic>
    Writer& entry(const char* key, int type, Basic value) {
        const char signature[] = {static_cast<char>(type), '\0'};
        return open(DBUS_TYPE_DICT_ENTRY).text(key).open(DBUS_TYPE_VARIANT, signature).basic(type, value).close().close();
    }

private:
    std::vector<DBusMessageIter> levels_;  // the open ones, outermost first; never moved (reserved)
};

TEST(MprisMessages, EveryBasicTypeBecomesItsKind) {
    Message message = signal("x.y", "Z");
    Writer(message)
        .basic<dbus_bool_t>(DBUS_TYPE_BOOLEAN, true)
        .basic<uint8_t>(DBUS_TYPE_BYTE, 200)
        .basic<dbus_int16_t>(DBUS_TYPE_INT16, -3)
        .basic<dbus_uint16_t>(DBUS_TYPE_UINT16, 65535)
        .basic<dbus_int32_t>(DBUS_TYPE_INT32, std::numeric_limits<int32_t>::min())
        .basic<dbus_uint32_t>(DBUS_TYPE_UINT32, 4000000000u)
        .basic<dbus_int64_t>(DBUS_TYPE_INT64, std::numeric_limits<int64_t>::min())
        .basic<dbus_uint64_t>(DBUS_TYPE_UINT64, std::numeric_limits<uint64_t>::max())
        .basic<dbus_uint64_t>(DBUS_TYPE_UINT64, 5)
        .basic(DBUS_TYPE_DOUBLE, 2.5)
        .text("caf\xc3\xa9")
        .basic(DBUS_TYPE_OBJECT_PATH, "/org/mpris/MediaPlayer2/Track/1")
        .basic(DBUS_TYPE_SIGNATURE, "a{sv}");
    const BusMessage read = received(message);
    EXPECT_EQ(read.type, BusMessage::Type::signal);
    EXPECT_EQ(read.sender, ":1.7");
    EXPECT_EQ(read.path, mpris::objectPath);
    EXPECT_EQ(read.interface, "x.y");
    EXPECT_EQ(read.member, "Z");
    ASSERT_EQ(read.arguments.size(), 13u);
    const std::vector<MprisValue>& a = read.arguments;
    EXPECT_EQ(a[0].kind, Kind::boolean);
    EXPECT_TRUE(a[0].boolean);
    const int64_t integers[] = {200, -3, 65535, std::numeric_limits<int32_t>::min(), 4000000000, std::numeric_limits<int64_t>::min()};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a[1 + i].kind, Kind::integer) << i;
        EXPECT_EQ(a[1 + i].integer, integers[i]) << i;
    }
    EXPECT_EQ(a[7].kind, Kind::large) << "an unsigned value past int64";
    EXPECT_EQ(a[7].large, std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(a[8].kind, Kind::integer);
    EXPECT_EQ(a[9].kind, Kind::real);
    EXPECT_EQ(a[9].real, 2.5);
    EXPECT_EQ(a[10].text, "caf\xc3\xa9");
    EXPECT_EQ(a[11].text, "/org/mpris/MediaPlayer2/Track/1");
    EXPECT_EQ(a[12].text, "a{sv}");
    EXPECT_EQ(a[12].kind, Kind::text);
    EXPECT_EQ(read.argument(13).kind, Kind::none) << "past the last argument";
}

TEST(MprisMessages, ContainersBecomeListsAndMapsAndVariantsWhatTheyHold) {
    Message message = signal("x.y", "Z");
    Writer w(message);
    w.open(DBUS_TYPE_ARRAY, "s").text("one").text("two").close();
    w.array<uint8_t>(DBUS_TYPE_BYTE, {'a', '\0', 'b'});
    w.open(DBUS_TYPE_ARRAY, "{sv}").entry("xesam:title", DBUS_TYPE_STRING, "Song").entry<dbus_int64_t>("mpris:length", DBUS_TYPE_INT64, 5000000).close();
    w.open(DBUS_TYPE_ARRAY, "{is}").open(DBUS_TYPE_DICT_ENTRY).basic<dbus_int32_t>(DBUS_TYPE_INT32, 1).text("dropped").close().close();
    w.open(DBUS_TYPE_STRUCT).text("in a struct").basic(DBUS_TYPE_DOUBLE, 1.0).close();
    w.open(DBUS_TYPE_VARIANT, "v").open(DBUS_TYPE_VARIANT, "as").open(DBUS_TYPE_ARRAY, "s").text("deep").close().close().close();
    w.open(DBUS_TYPE_ARRAY, "o").close();
    const BusMessage read = received(message);
    ASSERT_EQ(read.arguments.size(), 7u);
    const std::vector<MprisValue>& a = read.arguments;
    ASSERT_EQ(a[0].kind, Kind::list);
    ASSERT_EQ(a[0].items.size(), 2u);
    EXPECT_EQ(a[0].items[1].text, "two");
    EXPECT_EQ(a[1].kind, Kind::text) << "an array of bytes is text";
    EXPECT_EQ(a[1].text, std::string("a\0b", 3)) << "nul bytes and all";
    ASSERT_EQ(a[2].kind, Kind::map);
    ASSERT_TRUE(a[2].find("mpris:length"));
    EXPECT_EQ(a[2].find("mpris:length")->integer, 5000000);
    EXPECT_EQ(a[2].find("xesam:title")->text, "Song");
    EXPECT_EQ(a[3].kind, Kind::map);
    EXPECT_TRUE(a[3].entries.empty()) << "entries whose key is no text are left out";
    ASSERT_EQ(a[4].kind, Kind::list);
    EXPECT_EQ(a[4].items[0].text, "in a struct");
    EXPECT_EQ(a[4].items[1].real, 1.0);
    ASSERT_EQ(a[5].kind, Kind::list) << "two variants around a list are the list";
    EXPECT_EQ(a[5].items[0].text, "deep");
    EXPECT_EQ(a[6].kind, Kind::list);
    EXPECT_TRUE(a[6].items.empty());
}

// The wire allows 64 nested variants; what lies deeper than 32 levels is left unread, and so is
// a file descriptor (the message keeps and closes it).
TEST(MprisMessages, DeepNestingAndDescriptorsAreNotRead) {
    for (const int depth : {32, 33, 64}) {
        Message message = signal("x.y", "Z");
        Writer w(message);
        for (int level = 1; level <= depth; ++level) w.open(DBUS_TYPE_VARIANT, level == depth ? "i" : "v");
        w.basic<dbus_int32_t>(DBUS_TYPE_INT32, 7);
        for (int level = 1; level <= depth; ++level) w.close();
        const BusMessage read = received(message);
        ASSERT_EQ(read.arguments.size(), 1u);
        EXPECT_EQ(read.arguments[0].kind, depth <= 32 ? Kind::integer : Kind::none) << depth << " variants";
    }
    Message message = signal("x.y", "Z");
    Writer(message).basic(DBUS_TYPE_UNIX_FD, STDIN_FILENO).text("after it");
    const BusMessage read = busMessageOf(message.get());
    ASSERT_EQ(read.arguments.size(), 2u);
    EXPECT_EQ(read.arguments[0].kind, Kind::none);
    EXPECT_EQ(read.arguments[1].text, "after it");
}

// Three hundred thousand numbers in one message would take fifty times their wire size as
// values: reading stops at the budget, and the arguments past it are `none`.
TEST(MprisMessages, AMessageIsReadIntoAtMostABudgetOfValues) {
    Message message = signal("x.y", "Z");
    Writer(message).array<dbus_int32_t>(DBUS_TYPE_INT32, std::vector<dbus_int32_t>(300000, 1)).text("after it");
    const BusMessage read = received(message);
    ASSERT_EQ(read.arguments.size(), 2u);
    EXPECT_EQ(read.arguments[0].items.size(), mostValues - 1) << "the list itself is one of the values";
    EXPECT_EQ(read.arguments[0].items.back().integer, 1);
    EXPECT_EQ(read.arguments[1].kind, Kind::none);
}

Message call() {
    Message message(dbus_message_new_method_call(":1.7", "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties", "Get"),
                    dbus_message_unref);
    dbus_message_set_serial(message.get(), 9);
    return message;
}

Message reply() { return Message(dbus_message_new_method_return(call().get()), dbus_message_unref); }

Message noReply() {
    return Message(dbus_message_new_error(call().get(), DBUS_ERROR_NO_REPLY, "Did not receive a reply"), dbus_message_unref);
}

MprisPlayer player(test::ReportLog& log) { return MprisPlayer(":1.7", 0, ContactReport("the MPRIS player test", "trying again", log.sink())); }

TEST(MprisMessages, APlayerTakesInItsAnswersAndSignals) {
    test::ReportLog log;
    MprisPlayer p = player(log);
    Message properties = reply();
    Writer(properties)
        .open(DBUS_TYPE_ARRAY, "{sv}")
        .entry("PlaybackStatus", DBUS_TYPE_STRING, "Playing")
        .open(DBUS_TYPE_DICT_ENTRY).text("Metadata").open(DBUS_TYPE_VARIANT, "a{sv}").open(DBUS_TYPE_ARRAY, "{sv}")
        .entry("xesam:title", DBUS_TYPE_STRING, "First Tone").entry("mpris:trackid", DBUS_TYPE_OBJECT_PATH, "/t/1")
        .close().close().close()
        .close();
    EXPECT_TRUE(p.answer(MprisPlayer::Question::properties, received(properties)).choice);
    EXPECT_TRUE(p.playing());
    ASSERT_EQ(p.snapshot().state.playlist.size(), 1u);
    EXPECT_EQ(p.snapshot().state.playlist[0].title, "First Tone");

    Message changed = signal(mpris::propertiesInterface, "PropertiesChanged");
    Writer(changed).text("org.mpris.MediaPlayer2.Player").open(DBUS_TYPE_ARRAY, "{sv}")
        .entry("PlaybackStatus", DBUS_TYPE_STRING, "Paused").close()
        .open(DBUS_TYPE_ARRAY, "s").text("Metadata").close();
    MprisPlayer::Needs needs = p.hear(received(changed));
    EXPECT_TRUE(needs.choice && needs.position) << "the status changed";
    EXPECT_TRUE(needs.properties) << "a property's new value was left out";
    EXPECT_FALSE(p.playing());

    Message seeked = signal(mpris::playerInterface, "Seeked");
    Writer(seeked).basic<dbus_int64_t>(DBUS_TYPE_INT64, 3000000);
    EXPECT_TRUE(p.hear(received(seeked)).changed);
    EXPECT_EQ(p.snapshot().state.positionMillis, 3000);

    EXPECT_TRUE(p.hear(received(signal(mpris::trackListInterface, "TrackAdded"))).trackList);
    Message tracks = reply();
    // Sent as strings, so that they need not be object paths.
    Writer(tracks).open(DBUS_TYPE_VARIANT, "as").open(DBUS_TYPE_ARRAY, "s").text("/t/1").text("no path").text("/t/2").close().close();
    EXPECT_TRUE(p.answer(MprisPlayer::Question::tracks, received(tracks)).trackMetadata);
    EXPECT_EQ(p.trackIds(), (std::vector<std::string>{"/t/1", "/t/2"}));

    p.askedPosition();
    EXPECT_TRUE(p.answer(MprisPlayer::Question::position, received(noReply())).changed);
    EXPECT_FALSE(p.positionAsked());
    EXPECT_EQ(p.snapshot().rate, 0) << "its clock stands";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"cannot reach the MPRIS player test (Did not receive a reply); trying again"}));
}

// However many signals change the track list, it is read once at a time, and once more after a
// read for all the signals that came during it.
TEST(MprisMessages, SignalsDuringATrackListReadAskForOneReadAfterIt) {
    test::ReportLog log;
    MprisPlayer p = player(log);
    const auto now = MprisPlayer::Clock::now();
    using std::chrono::milliseconds;
    EXPECT_FALSE(p.trackListDue());
    p.wantTrackList(now + milliseconds(100));
    p.wantTrackList(now + milliseconds(200));
    EXPECT_EQ(p.trackListDue(), now + milliseconds(100)) << "the first signal's time stays";
    p.startTrackListRead();
    for (int signal = 0; signal < 3; ++signal) p.wantTrackList(now + milliseconds(300 + signal));
    EXPECT_FALSE(p.trackListDue()) << "not while it is read";
    p.answer(MprisPlayer::Question::tracksMetadata, received(reply()));
    EXPECT_EQ(p.trackListDue(), now + milliseconds(300));
    p.startTrackListRead();
    p.answer(MprisPlayer::Question::tracks, received(noReply()));
    EXPECT_FALSE(p.trackListDue()) << "a failed read ends it, and nothing new came";
}

} // namespace
} // namespace tessaranth::host
