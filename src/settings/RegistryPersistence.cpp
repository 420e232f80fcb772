// SPDX-License-Identifier: GPL-2.0-or-later
// Settings::loadFromRegistry and Settings::saveToRegistry: one registry value per setting under
// the record's key, guarded by the "Version" value, and after them the values of the bus. A save stores the whole record as one
// transaction of the registry: the values are set, then the key is flushed once.
#include "settings/Settings.h"

#include "platform/Platform.h"
#include "platform/Registry.h"
#include "settings/BusFields.h"
#include "settings/PluginVersion.h"
#include "settings/RegistryAccess.h"
#include "settings/SettingsFields.h"

#include <algorithm>
#include <cstring>

namespace tessaranth {

namespace {

constexpr uint32_t textBufferSize = 128;

void tell(const char* text) { platform::messageBox(text, "Tessaranth", platform::mbIconWarning); }

// A value present with another type is handled as a failed read.
RegistryRead settle(RegistryAccess& registry, RegistryRead result) {
    if (result == RegistryRead::typeError) registry.reportReadFailure(platform::errorDatatypeMismatch);
    return result;
}

// Reads a text into the 128-byte buffer and terminates it: at most 127 characters, however
// many bytes the value claims.
bool readText(RegistryAccess& registry, const Settings& settings, const char* name, char (&text)[textBufferSize]) {
    uint32_t size = sizeof text;
    if (settle(registry, registry.readString(settings.rootKey(), settings.keyPath(), name, text, size)) !=
        RegistryRead::ok)
        return false;
    text[std::min<uint32_t>(size, sizeof text - 1)] = '\0';
    return true;
}

void loadValue(RegistryAccess& registry, Settings& settings, const StoredField& field) {
    const uint32_t root = settings.rootKey();
    const char* path = settings.keyPath();
    SettingsImage& image = settings.image();
    switch (field.kind) {
    case FieldKind::text: {
        char text[textBufferSize];
        if (readText(registry, settings, field.name, text)) relaxedCopyText(textField(image, field), field.width, text);
        return;
    }
    case FieldKind::binary:
    case FieldKind::flag: {
        uint8_t byte = 0;
        uint32_t size = 1;
        if (settle(registry, registry.readBinary(root, path, field.name, &byte, size)) == RegistryRead::ok)
            storeField(image, field, byte);
        return;
    }
    default: {
        uint32_t value = 0;  // a failed read leaves 0
        settle(registry, registry.readDword(root, path, field.name, value));
        storeField(image, field, value);
    }
    }
}

uint32_t dwordToSave(const Settings& settings, const StoredField& field) {
    const uint32_t value = loadField(settings.image(), field);
    if (field.kind == FieldKind::signedDword) return static_cast<uint32_t>(static_cast<int8_t>(value));
    return value;
}

void saveValue(RegistryAccess& registry, Settings& settings, const StoredField& field) {
    switch (field.kind) {
    case FieldKind::text: {
        char text[textBufferSize];
        relaxedCopyText(text, sizeof text, textField(settings.image(), field));
        registry.writeString(field.name, text);
        return;
    }
    case FieldKind::binary:
    case FieldKind::flag: {
        const uint32_t value = loadField(settings.image(), field);
        const uint8_t byte = static_cast<uint8_t>(field.kind == FieldKind::flag ? value != 0 : value);
        registry.writeBinary(field.name, &byte, 1);
        return;
    }
    default: registry.writeDword(field.name, dwordToSave(settings, field));
    }
}

// The bus values came after the record's own: a key that an older version saved has none of
// them, so a bus value that is missing, of another type or out of its range keeps its default,
// and says nothing.
void readBusValue(platform::RegistryKey key, BusSettings& bus, const BusField& field) {
    uint8_t data[busDeviceSize] = {};
    uint32_t type = 0;
    uint32_t size = sizeof data;
    if (platform::registryQueryValue(key, field.name, type, data, size) != platform::errorSuccess) return;
    if (field.kind == FieldKind::text) {
        if (size > 0 && data[size - 1] == '\0') --size;  // stored with its terminator
        if (type == platform::regSz)
            setBusText(bus, field, std::string_view(reinterpret_cast<const char*>(data), size));
    } else if (field.kind == FieldKind::flag) {
        if (type == platform::regBinary && size == 1) setBusValue(bus, field, data[0]);
    } else if (type == platform::regDword && size == 4) {
        const uint32_t word = static_cast<uint32_t>(data[0] | data[1] << 8 | data[2] << 16) | uint32_t{data[3]} << 24;
        setBusValue(bus, field, field.least < 0 ? int64_t{static_cast<int32_t>(word)} : int64_t{word});
    }
}

void loadBus(Settings& settings) {
    BusSettings bus;
    platform::RegistryKey key = 0;
    if (platform::registryOpenKey(settings.rootKey(), settings.keyPath(), platform::keyRead, key) ==
        platform::errorSuccess) {
        for (const BusField& field : busFields()) readBusValue(key, bus, field);
        platform::registryCloseKey(key);
    }
    settings.setBus(bus);
}

void saveBus(RegistryAccess& registry, const Settings& settings) {
    const BusSettings bus = settings.bus();
    for (const BusField& field : busFields()) {
        if (field.kind == FieldKind::text) {
            char text[busDeviceSize];
            copyBusText(bus, field, text);
            registry.writeString(field.name, text);
        } else if (field.kind == FieldKind::flag) {
            const uint8_t byte = busValue(bus, field) != 0;
            registry.writeBinary(field.name, &byte, 1);
        } else {
            registry.writeDword(field.name, static_cast<uint32_t>(busValue(bus, field)));
        }
    }
}

} // namespace

bool Settings::loadFromRegistry() {
    RegistryAccess registry;
    char version[textBufferSize];
    if (!readText(registry, *this, "Version", version)) {
        tell("This is the first time you're using Tessaranth.\nClick Configure to configure the plug-in.");
        return false;
    }
    if (std::strcmp(version, pluginVersion) != 0) {
        tell("You've installed a new version.\nOld settings are ignored, and the plug-in should be re-configed.");
        return false;
    }
    for (const uint8_t index : registryLoadOrder()) loadValue(registry, *this, registryFields()[index]);
    loadBus(*this);
    return true;
}

bool Settings::saveToRegistry() {
    RegistryAccess registry;
    registry.createKey(rootKey_, keyPath_);
    registry.writeString("Version", pluginVersion);
    for (const StoredField& field : registryFields()) saveValue(registry, *this, field);
    saveBus(registry, *this);
    return registry.commit();
}

} // namespace tessaranth
