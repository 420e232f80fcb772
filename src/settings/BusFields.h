// SPDX-License-Identifier: GPL-2.0-or-later
// The bus settings by name, one entry per registry value, in the order a save writes them, each
// with the range it may take. The registry, the configuration file's bus chunk and the command
// line all go through this list, so a new bus setting is one entry here.
#pragma once

#include "settings/BusSettings.h"
#include "settings/SettingsFields.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace tessaranth {

struct BusField {
    const char* name;  // the registry value's name
    FieldKind kind;    // dword, flag or text
    uint16_t offset;   // in BusSettings
    uint8_t width;     // bytes (a text's with its NUL)
    int64_t least;     // a number's range
    int64_t most;
};

std::span<const BusField> busFields();
// The field of that registry name; null when there is none.
const BusField* findBusField(std::string_view name);
// Whether people write the field's number in hexadecimal: the I2C address, as the datasheets do.
bool writtenInHex(const BusField& field);

// One relaxed load or store of a field. A number out of the field's range, or a text that is
// empty, too long or holds a NUL, is refused (false) and leaves the field as it was.
int64_t busValue(const BusSettings& bus, const BusField& field);
bool setBusValue(BusSettings& bus, const BusField& field, int64_t value);
// A stable copy of a text field into buffer (busDeviceSize bytes hold any of them).
void copyBusText(const BusSettings& bus, const BusField& field, char (&buffer)[busDeviceSize]);
bool setBusText(BusSettings& bus, const BusField& field, std::string_view text);

// Copies field by field through relaxed accesses, so a reader meanwhile never sees half a number.
void copyBus(BusSettings& destination, const BusSettings& source);
// Puts every field that is out of its range (or a text without an end or without characters)
// back to its default.
void boundBus(BusSettings& bus);

bool sameBus(const BusSettings& a, const BusSettings& b);

} // namespace tessaranth
