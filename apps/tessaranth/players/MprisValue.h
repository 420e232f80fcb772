// SPDX-License-Identifier: GPL-2.0-or-later
// A value as a D-Bus peer sends it, of any type: the bus layer turns what it receives into this,
// so that what the values mean can be worked out (and tested, and fuzzed) without a bus.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth::host {

struct MprisEntry;

struct MprisValue {
    // Integers of every width, signed or not, are `integer` when they fit, else `large`;
    // strings, object paths and signatures are `text`; arrays and structures are `list`;
    // dictionaries are `map` (entries whose key is no text are left out); a variant is what it holds.
    enum class Kind { none, boolean, integer, large, real, text, list, map };

    Kind kind = Kind::none;
    bool boolean = false;
    int64_t integer = 0;
    uint64_t large = 0;
    double real = 0;
    std::string text;
    std::vector<MprisValue> items;
    std::vector<MprisEntry> entries;

    // The entry of a map with this key, or nothing.
    const MprisValue* find(std::string_view key) const;

    static MprisValue ofBoolean(bool value);
    static MprisValue ofInteger(int64_t value);
    static MprisValue ofReal(double value);
    static MprisValue ofText(std::string value);
    static MprisValue ofList(std::vector<MprisValue> items);
    static MprisValue ofMap(std::vector<MprisEntry> entries);
};

struct MprisEntry {
    std::string key;
    MprisValue value;
};

inline const MprisValue* MprisValue::find(std::string_view key) const {
    for (const MprisEntry& entry : entries)
        if (entry.key == key) return &entry.value;
    return nullptr;
}

inline MprisValue MprisValue::ofBoolean(bool value) {
    MprisValue v;
    v.kind = Kind::boolean;
    v.boolean = value;
    return v;
}

inline MprisValue MprisValue::ofInteger(int64_t value) {
    MprisValue v;
    v.kind = Kind::integer;
    v.integer = value;
    return v;
}

inline MprisValue MprisValue::ofReal(double value) {
    MprisValue v;
    v.kind = Kind::real;
    v.real = value;
    return v;
}

inline MprisValue MprisValue::ofText(std::string value) {
    MprisValue v;
    v.kind = Kind::text;
    v.text = std::move(value);
    return v;
}

inline MprisValue MprisValue::ofList(std::vector<MprisValue> items) {
    MprisValue v;
    v.kind = Kind::list;
    v.items = std::move(items);
    return v;
}

inline MprisValue MprisValue::ofMap(std::vector<MprisEntry> entries) {
    MprisValue v;
    v.kind = Kind::map;
    v.entries = std::move(entries);
    return v;
}

} // namespace tessaranth::host
