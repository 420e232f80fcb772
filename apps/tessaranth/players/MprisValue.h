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

} // namespace tessaranth::host
