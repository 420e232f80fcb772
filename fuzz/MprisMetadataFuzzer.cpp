// SPDX-License-Identifier: GPL-2.0-or-later
// What an MPRIS player sends, as D-Bus wire bytes: the input is a conversation on the bus, one
// marshalled message after the other (as `dbus-monitor --binary` writes them). Each message is
// taken apart by libdbus as a received one is and read by the follower's own code; the follower's
// calls in it (GetAll, Get, GetTracksMetadata) say what the replies to them answer, and the
// signals (PropertiesChanged, Seeked, the TrackList ones) are heard as the player's. The state
// they make is checked and shown by a running plug-in.
#include "FuzzHost.h"
#include "PlayerStateHost.h"

#include "players/DBusValue.h"
#include "players/MprisPlayer.h"

#include <dbus/dbus.h>

#include <array>
#include <map>
#include <optional>

namespace {

using tessaranth::host::BusMessage;
using tessaranth::host::ContactReport;
using tessaranth::host::MprisPlayer;
using Question = MprisPlayer::Question;

// A conversation longer than this says nothing new.
constexpr int mostMessages = 64;
// libdbus needs this much of a message to tell its length.
constexpr int headerBytes = 16;

// Which of the follower's questions a method call is, if it is one.
std::optional<Question> questionOf(const BusMessage& call) {
    constexpr std::array questions = {Question::properties, Question::hasTrackList, Question::tracks,
                                      Question::tracksMetadata, Question::position};
    for (const Question question : questions) {
        const tessaranth::host::BusCall asked = MprisPlayer::callFor(question);
        if (call.interface != asked.interface || call.member != asked.method) continue;
        bool same = call.arguments.size() >= asked.texts.size();
        for (std::size_t i = 0; same && i < asked.texts.size(); ++i) same = call.arguments[i].text == asked.texts[i];
        if (same) return question;
    }
    return std::nullopt;
}

void take(MprisPlayer& player, std::map<uint32_t, Question>& asked, DBusMessage* message) {
    const BusMessage read = tessaranth::host::busMessageOf(message);
    switch (read.type) {
    case BusMessage::Type::methodCall:
        if (const auto question = questionOf(read)) asked[dbus_message_get_serial(message)] = *question;
        break;
    case BusMessage::Type::reply:
    case BusMessage::Type::error:
        if (const auto found = asked.find(read.replySerial); found != asked.end()) player.answer(found->second, read);
        break;
    case BusMessage::Type::signal: player.hear(read); break;
    case BusMessage::Type::other: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MprisPlayer player(":1.1", 0, ContactReport("the MPRIS player", "trying again", [](const std::string&) {}));
    std::map<uint32_t, Question> asked;
    const char* bytes = reinterpret_cast<const char*>(data);
    int left = static_cast<int>(std::min<size_t>(size, DBUS_MAXIMUM_MESSAGE_LENGTH));
    for (int count = 0; count < mostMessages && left >= headerBytes; ++count) {
        const int length = dbus_message_demarshal_bytes_needed(bytes, left);
        if (length <= 0 || length > left) break;
        DBusError error;
        dbus_error_init(&error);
        if (DBusMessage* message = dbus_message_demarshal(bytes, length, &error)) {
            take(player, asked, message);
            dbus_message_unref(message);
        }
        dbus_error_free(&error);
        bytes += length;
        left -= length;
    }
    const tessaranth::host::PlayerState state = player.snapshot().state;
    tessaranth::fuzz::checkPlayerState(state);
    if (!state.playlist.empty() && !state.currentEntry()) __builtin_trap();
    tessaranth::fuzz::showPlayerState(state, 3);
    return 0;
}
