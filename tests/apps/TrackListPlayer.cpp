// SPDX-License-Identifier: GPL-2.0-or-later
#include "TrackListPlayer.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace tessaranth::test {

namespace {

constexpr const char* objectPath = "/org/mpris/MediaPlayer2";
constexpr const char* playerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* trackListInterface = "org.mpris.MediaPlayer2.TrackList";
constexpr const char* rootInterface = "org.mpris.MediaPlayer2";

constexpr std::string_view trackPrefix = "/org/tessaranth/Track/";

std::string trackId(int track) { return std::string(trackPrefix) + std::to_string(track); }

// Takes the number back out of a track id; 0 for anything else.
int trackOf(std::string_view id) { return id.starts_with(trackPrefix) ? std::atoi(id.data() + trackPrefix.size()) : 0; }

template <class Basic>
void appendVariant(DBusMessageIter* to, int type, Basic value) {
    const char signature[] = {static_cast<char>(type), '\0'};
    DBusMessageIter variant;
    dbus_message_iter_open_container(to, DBUS_TYPE_VARIANT, signature, &variant);
    dbus_message_iter_append_basic(&variant, type, &value);
    dbus_message_iter_close_container(to, &variant);
}

template <class Basic>
void appendEntry(DBusMessageIter* dictionary, const char* key, int type, Basic value) {
    DBusMessageIter entry;
    dbus_message_iter_open_container(dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    appendVariant(&entry, type, value);
    dbus_message_iter_close_container(dictionary, &entry);
}

void appendMetadata(DBusMessageIter* to, int track) {
    const std::string id = trackId(track);
    const std::string title = "Track " + std::to_string(track);
    DBusMessageIter dictionary, entry, variant, artists;
    dbus_message_iter_open_container(to, DBUS_TYPE_ARRAY, "{sv}", &dictionary);
    appendEntry(&dictionary, "mpris:trackid", DBUS_TYPE_OBJECT_PATH, id.c_str());
    appendEntry(&dictionary, "xesam:title", DBUS_TYPE_STRING, title.c_str());
    appendEntry<dbus_int64_t>(&dictionary, "mpris:length", DBUS_TYPE_INT64, 60000000);
    const char* key = "xesam:artist";
    const char* artist = "Test Artist";
    dbus_message_iter_open_container(&dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "as", &variant);
    dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &artists);
    dbus_message_iter_append_basic(&artists, DBUS_TYPE_STRING, &artist);
    dbus_message_iter_close_container(&variant, &artists);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(&dictionary, &entry);
    dbus_message_iter_close_container(to, &dictionary);
}

DBusHandlerResult filter(DBusConnection*, DBusMessage* message, void* self) {
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    static_cast<TrackListPlayer*>(self)->answer(message);
    return DBUS_HANDLER_RESULT_HANDLED;
}

} // namespace

TrackListPlayer::TrackListPlayer(const std::string& busAddress) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = busAddress.empty() ? dbus_bus_get_private(DBUS_BUS_SESSION, &error)
                                                    : dbus_connection_open_private(busAddress.c_str(), &error);
    if (connection) dbus_connection_set_exit_on_disconnect(connection, false);
    const bool registered = connection && (busAddress.empty() || dbus_bus_register(connection, &error));
    if (registered && dbus_bus_request_name(connection, "org.mpris.MediaPlayer2.tracks", DBUS_NAME_FLAG_DO_NOT_QUEUE,
                                            &error) == DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
        connection_ = connection;
        dbus_connection_add_filter(connection_, filter, this, nullptr);
        thread_ = std::thread([this] {
            while (!stopping_ && dbus_connection_read_write_dispatch(connection_, 20)) {
            }
        });
    } else if (connection) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
    dbus_error_free(&error);
}

TrackListPlayer::~TrackListPlayer() {
    if (!connection_) return;
    stopping_ = true;
    thread_.join();
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
}

void TrackListPlayer::send(DBusMessage* message) {
    dbus_connection_send(connection_, message, nullptr);
    dbus_message_unref(message);
}

void TrackListPlayer::replaceTracks(int count) {
    {
        const std::lock_guard lock(mutex_);
        trackCount_ = count;
    }
    DBusMessage* signal = dbus_message_new_signal(objectPath, trackListInterface, "TrackListReplaced");
    DBusMessageIter arguments, ids;
    dbus_message_iter_init_append(signal, &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "o", &ids);
    for (int track = 1; track <= count; ++track) {
        const std::string id = trackId(track);
        const char* text = id.c_str();
        dbus_message_iter_append_basic(&ids, DBUS_TYPE_OBJECT_PATH, &text);
    }
    dbus_message_iter_close_container(&arguments, &ids);
    const std::string current = trackId(1);
    const char* text = current.c_str();
    dbus_message_iter_append_basic(&arguments, DBUS_TYPE_OBJECT_PATH, &text);
    send(signal);
    dbus_connection_flush(connection_);
}

void TrackListPlayer::addTracks(int count) {
    for (int n = 0; n < count; ++n) {
        int track = 0;
        {
            const std::lock_guard lock(mutex_);
            track = ++trackCount_;
        }
        DBusMessage* signal = dbus_message_new_signal(objectPath, trackListInterface, "TrackAdded");
        DBusMessageIter arguments;
        dbus_message_iter_init_append(signal, &arguments);
        appendMetadata(&arguments, track);
        const std::string after = trackId(track - 1);
        const char* text = after.c_str();
        dbus_message_iter_append_basic(&arguments, DBUS_TYPE_OBJECT_PATH, &text);
        send(signal);
    }
    dbus_connection_flush(connection_);
}

void TrackListPlayer::answerTracksAsTexts(std::vector<std::string> ids) {
    {
        const std::lock_guard lock(mutex_);
        textIds_ = std::move(ids);
    }
    send(dbus_message_new_signal(objectPath, trackListInterface, "TrackListReplaced"));
    dbus_connection_flush(connection_);
}

void TrackListPlayer::answer(DBusMessage* call) {
    const std::string interface = dbus_message_get_interface(call) ? dbus_message_get_interface(call) : "";
    DBusMessage* reply = nullptr;
    if (interface == DBUS_INTERFACE_PROPERTIES) reply = propertiesOf(call);
    else if (interface == trackListInterface && dbus_message_is_method_call(call, trackListInterface, "GetTracksMetadata"))
        reply = metadataOf(call);
    if (!reply) reply = dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, "no such method or property");
    send(reply);
}

// Get and GetAll of the three interfaces' properties.
DBusMessage* TrackListPlayer::propertiesOf(DBusMessage* call) {
    const char* interface = nullptr;
    const char* property = "";
    const bool all = dbus_message_is_method_call(call, DBUS_INTERFACE_PROPERTIES, "GetAll");
    if (!(all ? dbus_message_get_args(call, nullptr, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID)
              : dbus_message_get_args(call, nullptr, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                      DBUS_TYPE_INVALID)))
        return nullptr;
    const std::string asked = interface;
    const std::string name = property;
    DBusMessage* reply = dbus_message_new_method_return(call);
    DBusMessageIter arguments, dictionary;
    dbus_message_iter_init_append(reply, &arguments);
    if (asked == playerInterface && all) {
        dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "{sv}", &dictionary);
        appendEntry(&dictionary, "PlaybackStatus", DBUS_TYPE_STRING, "Playing");
        appendEntry(&dictionary, "Rate", DBUS_TYPE_DOUBLE, 1.0);
        DBusMessageIter entry, variant;
        const char* key = "Metadata";
        dbus_message_iter_open_container(&dictionary, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "a{sv}", &variant);
        appendMetadata(&variant, 1);
        dbus_message_iter_close_container(&entry, &variant);
        dbus_message_iter_close_container(&dictionary, &entry);
        dbus_message_iter_close_container(&arguments, &dictionary);
    } else if (asked == playerInterface && name == "Position") {
        appendVariant<dbus_int64_t>(&arguments, DBUS_TYPE_INT64, 0);
    } else if (asked == rootInterface && name == "HasTrackList") {
        appendVariant<dbus_bool_t>(&arguments, DBUS_TYPE_BOOLEAN, true);
    } else if (asked == trackListInterface && name == "Tracks") {
        ++trackListReads_;
        const std::lock_guard lock(mutex_);
        const bool texts = !textIds_.empty();
        DBusMessageIter variant, ids;
        dbus_message_iter_open_container(&arguments, DBUS_TYPE_VARIANT, texts ? "as" : "ao", &variant);
        dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, texts ? "s" : "o", &ids);
        for (int track = 1; track <= (texts ? static_cast<int>(textIds_.size()) : trackCount_); ++track) {
            const std::string id = texts ? textIds_[static_cast<std::size_t>(track - 1)] : trackId(track);
            const char* text = id.c_str();
            dbus_message_iter_append_basic(&ids, texts ? DBUS_TYPE_STRING : DBUS_TYPE_OBJECT_PATH, &text);
        }
        dbus_message_iter_close_container(&variant, &ids);
        dbus_message_iter_close_container(&arguments, &variant);
    } else {
        dbus_message_unref(reply);
        return nullptr;
    }
    return reply;
}

// The metadata of the known tracks among those asked for, in the order asked.
DBusMessage* TrackListPlayer::metadataOf(DBusMessage* call) {
    ++metadataReads_;
    char** ids = nullptr;
    int count = 0;
    if (!dbus_message_get_args(call, nullptr, DBUS_TYPE_ARRAY, DBUS_TYPE_OBJECT_PATH, &ids, &count, DBUS_TYPE_INVALID))
        return nullptr;
    mostIdsAsked_ = std::max(mostIdsAsked_.load(), static_cast<std::size_t>(count));
    int known = 0;
    {
        const std::lock_guard lock(mutex_);
        known = trackCount_;
    }
    DBusMessage* reply = dbus_message_new_method_return(call);
    DBusMessageIter arguments, list;
    dbus_message_iter_init_append(reply, &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "a{sv}", &list);
    for (int i = 0; i < count; ++i)
        if (const int track = trackOf(ids[i]); track >= 1 && track <= known) appendMetadata(&list, track);
    dbus_message_iter_close_container(&arguments, &list);
    dbus_free_string_array(ids);
    return reply;
}

} // namespace tessaranth::test
