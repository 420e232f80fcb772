// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DBusValue.h"

#include <dbus/dbus.h>

#include <limits>

namespace tessaranth::host {

namespace {

// D-Bus allows 64 levels of nesting; nothing a player means goes past a few.
constexpr int deepest = 32;

MprisValue unsignedValue(uint64_t number) {
    if (number <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return MprisValue::ofInteger(static_cast<int64_t>(number));
    MprisValue v;
    v.kind = MprisValue::Kind::large;
    v.large = number;
    return v;
}

template <class Basic>
Basic basicOf(DBusMessageIter& iterator) {
    Basic value{};
    dbus_message_iter_get_basic(&iterator, &value);
    return value;
}

// Reads one message's arguments, spending one value of the budget on every value read.
class Reader {
public:
    MprisValue valueAt(DBusMessageIter& iterator, int depth);

private:
    MprisValue containerAt(DBusMessageIter& iterator, int depth);
    MprisValue listIn(DBusMessageIter& items, int depth);
    MprisValue mapIn(DBusMessageIter& entries, int depth);

    std::size_t left_ = mostValues;
};

MprisValue Reader::valueAt(DBusMessageIter& iterator, int depth) {
    if (depth > deepest || left_ == 0) return {};
    --left_;
    switch (dbus_message_iter_get_arg_type(&iterator)) {
    case DBUS_TYPE_BOOLEAN: return MprisValue::ofBoolean(basicOf<dbus_bool_t>(iterator));
    case DBUS_TYPE_BYTE: return unsignedValue(basicOf<uint8_t>(iterator));
    case DBUS_TYPE_UINT16: return unsignedValue(basicOf<dbus_uint16_t>(iterator));
    case DBUS_TYPE_UINT32: return unsignedValue(basicOf<dbus_uint32_t>(iterator));
    case DBUS_TYPE_UINT64: return unsignedValue(basicOf<dbus_uint64_t>(iterator));
    case DBUS_TYPE_INT16: return MprisValue::ofInteger(basicOf<dbus_int16_t>(iterator));
    case DBUS_TYPE_INT32: return MprisValue::ofInteger(basicOf<dbus_int32_t>(iterator));
    case DBUS_TYPE_INT64: return MprisValue::ofInteger(basicOf<dbus_int64_t>(iterator));
    case DBUS_TYPE_DOUBLE: return MprisValue::ofReal(basicOf<double>(iterator));
    case DBUS_TYPE_STRING:
    case DBUS_TYPE_OBJECT_PATH:
    case DBUS_TYPE_SIGNATURE: return MprisValue::ofText(basicOf<const char*>(iterator));
    case DBUS_TYPE_VARIANT:
    case DBUS_TYPE_ARRAY:
    case DBUS_TYPE_STRUCT: return containerAt(iterator, depth);
    // A file descriptor stays with the message, which closes it.
    default: return {};
    }
}

// A variant is what it holds; an array of bytes is text, an array of dictionary entries a map,
// any other array and a structure a list.
MprisValue Reader::containerAt(DBusMessageIter& iterator, int depth) {
    const int type = dbus_message_iter_get_arg_type(&iterator);
    DBusMessageIter inner;
    dbus_message_iter_recurse(&iterator, &inner);
    if (type == DBUS_TYPE_VARIANT) return valueAt(inner, depth + 1);
    if (type == DBUS_TYPE_STRUCT) return listIn(inner, depth);
    switch (dbus_message_iter_get_element_type(&iterator)) {
    case DBUS_TYPE_BYTE: {
        const char* bytes = nullptr;
        int count = 0;
        dbus_message_iter_get_fixed_array(&inner, &bytes, &count);
        return MprisValue::ofText(std::string(bytes ? bytes : "", static_cast<std::size_t>(count)));
    }
    case DBUS_TYPE_DICT_ENTRY: return mapIn(inner, depth);
    default: return listIn(inner, depth);
    }
}

MprisValue Reader::listIn(DBusMessageIter& items, int depth) {
    MprisValue list = MprisValue::ofList({});
    for (; dbus_message_iter_get_arg_type(&items) != DBUS_TYPE_INVALID && left_ > 0; dbus_message_iter_next(&items))
        list.items.push_back(valueAt(items, depth + 1));
    return list;
}

// Entries whose key is no text are left out.
MprisValue Reader::mapIn(DBusMessageIter& entries, int depth) {
    MprisValue map = MprisValue::ofMap({});
    for (; dbus_message_iter_get_arg_type(&entries) != DBUS_TYPE_INVALID && left_ > 0;
         dbus_message_iter_next(&entries)) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        MprisValue key = valueAt(entry, depth + 1);
        dbus_message_iter_next(&entry);
        MprisValue value = valueAt(entry, depth + 1);
        if (key.kind == MprisValue::Kind::text) map.entries.push_back({std::move(key.text), std::move(value)});
    }
    return map;
}

std::string textOf(const char* field) { return field ? field : ""; }

BusMessage::Type typeOf(DBusMessage* message) {
    switch (dbus_message_get_type(message)) {
    case DBUS_MESSAGE_TYPE_METHOD_CALL: return BusMessage::Type::methodCall;
    case DBUS_MESSAGE_TYPE_METHOD_RETURN: return BusMessage::Type::reply;
    case DBUS_MESSAGE_TYPE_ERROR: return BusMessage::Type::error;
    case DBUS_MESSAGE_TYPE_SIGNAL: return BusMessage::Type::signal;
    default: return BusMessage::Type::other;
    }
}

} // namespace

const MprisValue& BusMessage::argument(std::size_t index) const {
    static const MprisValue none;
    return index < arguments.size() ? arguments[index] : none;
}

std::string BusMessage::errorText() const {
    const MprisValue& text = argument(0);
    return text.kind == MprisValue::Kind::text && !text.text.empty() ? text.text : errorName;
}

BusCall busDriverCall(std::string method, std::vector<std::string> texts) {
    return {DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, std::move(method), std::move(texts), {}};
}

BusMessage busMessageOf(DBusMessage* message) {
    BusMessage read;
    read.type = typeOf(message);
    read.sender = textOf(dbus_message_get_sender(message));
    read.path = textOf(dbus_message_get_path(message));
    read.interface = textOf(dbus_message_get_interface(message));
    read.member = textOf(dbus_message_get_member(message));
    read.errorName = textOf(dbus_message_get_error_name(message));
    read.replySerial = dbus_message_get_reply_serial(message);
    DBusMessageIter iterator;
    if (!dbus_message_iter_init(message, &iterator)) return read;
    Reader reader;
    for (; dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_INVALID; dbus_message_iter_next(&iterator))
        read.arguments.push_back(reader.valueAt(iterator, 0));
    return read;
}

} // namespace tessaranth::host
