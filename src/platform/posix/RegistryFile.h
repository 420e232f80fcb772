// SPDX-License-Identifier: GPL-2.0-or-later
// One registry key kept in a REGEDIT4 text file, the format the Windows registry editor exports
// and imports:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\...]
//   "Name"="text"            REG_SZ, with \\ and \" escapes
//   "Name"=dword:0000003c    REG_DWORD of four bytes
//   "Name"=hex:01,02         REG_BINARY
//   "Name"=hex(N):..         any other type N (or a text or number that the forms above cannot hold)
//
// Reading takes LF or CRLF, any value order, comments (;), hex lines continued with a trailing
// backslash, and skips every other key. Writing produces that layout with CRLF line ends.
// The class knows nothing of the rest of the program and accepts any bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaranth::platform {

class RegistryFile {
public:
    struct Value {
        std::string name;
        uint32_t type;
        std::vector<uint8_t> data;
    };

    // keyName: the full key as the file names it, e.g. "HKEY_CURRENT_USER\Software\Vendor\App".
    explicit RegistryFile(std::string keyName);

    // Replaces the contents with the key as the text holds it. Returns false, and leaves the
    // key absent, when the text is not a REGEDIT4 file or a line of the key cannot be read.
    bool parse(std::string_view text);
    // The whole file with this one key.
    std::string write() const;

    bool hasKey() const { return hasKey_; }
    void createKey() { hasKey_ = true; }
    // Value names compare without regard to ASCII case, as the registry's do.
    const Value* find(std::string_view name) const;
    // Replaces or adds the value (and creates the key); a replaced value keeps its place and
    // its name's spelling.
    void set(std::string_view name, uint32_t type, const uint8_t* data, std::size_t size);
    const std::vector<Value>& values() const { return values_; }

private:
    bool parseKeyLine(std::string_view line);

    std::string keyName_;
    bool hasKey_ = false;
    std::vector<Value> values_;
};

} // namespace tessaranth::platform
