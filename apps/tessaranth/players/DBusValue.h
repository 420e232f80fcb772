// SPDX-License-Identifier: GPL-2.0-or-later
// D-Bus messages as plain data. Reads a message as libdbus holds it (received from the bus, or
// taken apart from wire bytes) into its header fields and its arguments as MprisValues, whatever
// their types. Everything a peer sends goes through here, so it is bounded here: containers nested
// deeper than a player means anything by, and values past a budget per message, are `none`.
#pragma once

#include "players/MprisValue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct DBusMessage;

namespace tessaranth::host {

// The most values one message is read into: a track list of mostPlaylistEntries tracks with a dozen
// metadata entries each, and room to spare. A message of millions of tiny values would otherwise
// take a hundred times its size in memory.
constexpr std::size_t mostValues = 250000;

struct BusMessage {
    enum class Type { other, methodCall, reply, error, signal };

    Type type = Type::other;
    std::string sender;
    std::string path;
    std::string interface;
    std::string member;
    std::string errorName;
    uint32_t replySerial = 0;
    std::vector<MprisValue> arguments;

    // The argument at `index`, or a `none` value when there are fewer.
    const MprisValue& argument(std::size_t index) const;
    // What an error reply says: its message, else its name.
    std::string errorText() const;
};

BusMessage busMessageOf(DBusMessage* message);

// A method call to send.
struct BusCall {
    std::string destination;
    std::string path;
    std::string interface;
    std::string method;
    std::vector<std::string> texts;                        // string arguments, in order
    std::optional<std::vector<std::string>> objectPaths;   // then an array of object paths
};

// A method of the message bus itself (org.freedesktop.DBus), such as ListNames.
BusCall busDriverCall(std::string method, std::vector<std::string> texts = {});

} // namespace tessaranth::host
