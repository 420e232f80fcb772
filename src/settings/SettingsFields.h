// SPDX-License-Identifier: GPL-2.0-or-later
// The fields of the settings record that the registry stores, one registry value each, in the
// order a save writes them; and the field-by-field access to the record's image that the
// registry and the configuration file share.
#pragma once

#include "settings/SettingsImage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tessaranth {

enum class FieldKind : uint8_t {
    dword,        // REG_DWORD, zero-extended on save, truncated to the field on load
    signedDword,  // REG_DWORD, sign-extended on save
    binary,       // REG_BINARY of one byte
    flag,         // REG_BINARY of one byte, saved as 0 or 1
    text,         // REG_SZ without terminator
};

struct StoredField {
    const char* name;  // the registry value's name
    FieldKind kind;
    uint16_t offset;   // in SettingsImage
    uint8_t width;     // bytes
};

constexpr std::size_t registryFieldCount = 102;

// Save order.
std::span<const StoredField, registryFieldCount> registryFields();
// Indices into registryFields() in the order a load reads them.
std::span<const uint8_t, registryFieldCount> registryLoadOrder();

// One relaxed load or store of a numeric field at its width; a store keeps the low bytes.
uint32_t loadField(const SettingsImage& image, const StoredField& field);
void storeField(SettingsImage& image, const StoredField& field, uint32_t value);
char* textField(SettingsImage& image, const StoredField& field);

// A setting's number as people write it (the dialog's edits, the command line): decimal, or
// hexadecimal after "0x", either after an optional minus. Nothing else may stand in the text.
std::optional<int64_t> settingNumber(std::string_view text);

// Copies the whole image, every field of 2 or 4 bytes in one relaxed access, every other byte
// on its own, so a frame reading the destination meanwhile never sees half a field.
void copyImage(SettingsImage& destination, const SettingsImage& source);

} // namespace tessaranth
