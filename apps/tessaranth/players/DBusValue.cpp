#include "players/DBusValue.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QStringList>
#include <QVariant>

#include <limits>

namespace tessaranth::host {

namespace {

// D-Bus allows 64 levels of nesting; nothing a player means goes past a few.
constexpr int deepest = 32;

MprisValue valueOf(const QVariant& value, int depth);

MprisValue textValue(const QByteArray& utf8) { return MprisValue::ofText(utf8.toStdString()); }

MprisValue unsignedValue(uint64_t number) {
    if (number <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return MprisValue::ofInteger(static_cast<int64_t>(number));
    MprisValue v;
    v.kind = MprisValue::Kind::large;
    v.large = number;
    return v;
}

MprisValue argumentValue(const QDBusArgument& argument, int depth) {
    MprisValue v;
    if (depth > deepest) return v;
    switch (argument.currentType()) {
    case QDBusArgument::BasicType:
    case QDBusArgument::VariantType: return valueOf(argument.asVariant(), depth + 1);
    case QDBusArgument::ArrayType:
    case QDBusArgument::StructureType: {
        const bool array = argument.currentType() == QDBusArgument::ArrayType;
        v.kind = MprisValue::Kind::list;
        if (array) argument.beginArray();
        else argument.beginStructure();
        while (!argument.atEnd()) v.items.push_back(argumentValue(argument, depth + 1));
        if (array) argument.endArray();
        else argument.endStructure();
        return v;
    }
    case QDBusArgument::MapType:
        v.kind = MprisValue::Kind::map;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            MprisValue key = argumentValue(argument, depth + 1);
            MprisValue entry = argumentValue(argument, depth + 1);
            argument.endMapEntry();
            if (key.kind == MprisValue::Kind::text) v.entries.push_back({std::move(key.text), std::move(entry)});
        }
        argument.endMap();
        return v;
    default: return v;
    }
}

MprisValue listValue(const QVariantList& items, int depth) {
    MprisValue v = MprisValue::ofList({});
    for (const QVariant& item : items) v.items.push_back(valueOf(item, depth + 1));
    return v;
}

MprisValue mapValue(const QVariantMap& entries, int depth) {
    MprisValue v = MprisValue::ofMap({});
    for (auto it = entries.begin(); it != entries.end(); ++it)
        v.entries.push_back({it.key().toUtf8().toStdString(), valueOf(it.value(), depth + 1)});
    return v;
}

MprisValue valueOf(const QVariant& value, int depth) {
    if (depth > deepest) return {};
    const int type = value.metaType().id();
    switch (type) {
    case QMetaType::Bool: return MprisValue::ofBoolean(value.toBool());
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return unsignedValue(value.toULongLong());
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong: return MprisValue::ofInteger(value.toLongLong());
    case QMetaType::Double: return MprisValue::ofReal(value.toDouble());
    case QMetaType::QString: return textValue(value.toString().toUtf8());
    case QMetaType::QByteArray: return textValue(value.toByteArray());
    case QMetaType::QStringList: {
        const QStringList strings = value.toStringList();
        return listValue(QVariantList(strings.begin(), strings.end()), depth);
    }
    case QMetaType::QVariantList: return listValue(value.toList(), depth);
    case QMetaType::QVariantMap: return mapValue(value.toMap(), depth);
    default: break;
    }
    if (type == qMetaTypeId<QDBusVariant>()) return valueOf(value.value<QDBusVariant>().variant(), depth + 1);
    if (type == qMetaTypeId<QDBusObjectPath>()) return textValue(value.value<QDBusObjectPath>().path().toUtf8());
    if (type == qMetaTypeId<QDBusSignature>()) return textValue(value.value<QDBusSignature>().signature().toUtf8());
    if (type == qMetaTypeId<QDBusArgument>()) return argumentValue(value.value<QDBusArgument>(), depth + 1);
    return {};
}

} // namespace

MprisValue mprisValueOf(const QVariant& value) { return valueOf(value, 0); }

} // namespace tessaranth::host
