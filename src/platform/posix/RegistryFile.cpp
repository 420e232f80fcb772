// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/RegistryFile.h"

#include "platform/Registry.h"

#include <algorithm>
#include <cstdio>

namespace tessaranth::platform {

namespace {

constexpr std::string_view header = "REGEDIT4";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

auto named(std::string_view name) {
    return [name](const RegistryFile::Value& value) { return equalsIgnoringCase(value.name, name); };
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads 1 to maxDigits hex digits from the front of s.
bool takeHexNumber(std::string_view& s, std::size_t maxDigits, uint32_t& value) {
    std::size_t n = 0;
    value = 0;
    while (n < s.size() && n < maxDigits && hexDigit(s[n]) >= 0) value = value << 4 | static_cast<uint32_t>(hexDigit(s[n++]));
    s.remove_prefix(n);
    return n > 0;
}

bool takePrefix(std::string_view& s, std::string_view prefix) {
    if (s.size() < prefix.size() || !equalsIgnoringCase(s.substr(0, prefix.size()), prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// A quoted text with the \\ and \" escapes; s continues after the closing quote.
bool takeQuoted(std::string_view& s, std::string& text) {
    if (s.empty() || s.front() != '"') return false;
    text.clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (s[i] == '\\') {
            if (++i == s.size() || (s[i] != '\\' && s[i] != '"')) return false;
        }
        text.push_back(s[i]);
    }
    return false;
}

// Comma-separated bytes of one or two hex digits each; nothing at all is an empty value.
bool readHexBytes(std::string_view s, std::vector<uint8_t>& data) {
    s = trimmed(s);
    data.clear();
    while (!s.empty()) {
        uint32_t byte = 0;
        if (!takeHexNumber(s, 2, byte)) return false;
        data.push_back(static_cast<uint8_t>(byte));
        s = trimmed(s);
        if (s.empty()) break;
        if (s.front() != ',' || s.size() == 1) return false;
        s.remove_prefix(1);
        s = trimmed(s);
    }
    return true;
}

enum class LineKind { value, removal, ignored, damaged };

// The data after `"Name"=`.
LineKind readData(std::string_view s, RegistryFile::Value& value) {
    s = trimmed(s);
    if (s == "-") return LineKind::removal;
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!takeQuoted(s, text) || !trimmed(s).empty()) return LineKind::damaged;
        value.type = regSz;
        value.data.assign(text.begin(), text.end());
        return LineKind::value;
    }
    uint32_t number = 0;
    if (takePrefix(s, "dword:")) {
        if (!takeHexNumber(s, 8, number) || !trimmed(s).empty()) return LineKind::damaged;
        value.type = regDword;
        value.data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                      static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
        return LineKind::value;
    }
    if (takePrefix(s, "hex:")) {
        value.type = regBinary;
    } else if (takePrefix(s, "hex(")) {
        if (!takeHexNumber(s, 8, number) || !takePrefix(s, "):")) return LineKind::damaged;
        value.type = number;
    } else {
        return LineKind::damaged;
    }
    return readHexBytes(s, value.data) ? LineKind::value : LineKind::damaged;
}

LineKind readValueLine(std::string_view line, RegistryFile::Value& value) {
    if (!line.empty() && line.front() == '@') return LineKind::ignored;  // the key's default value
    if (!takeQuoted(line, value.name)) return LineKind::damaged;
    line = trimmed(line);
    if (line.empty() || line.front() != '=') return LineKind::damaged;
    return readData(line.substr(1), value);
}

// Splits the text into lines at LF (a CR before it belongs to no line) and joins the lines of a
// hex value continued with ",\".
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool next(std::string& line) {
        if (position_ >= text_.size()) return false;
        line.clear();
        for (;;) {
            std::string_view part = trimmed(rawLine());
            line.append(part);
            if (line.size() < 2 || line.compare(line.size() - 2, 2, ",\\") != 0 || position_ >= text_.size())
                return true;
            line.pop_back();
        }
    }

private:
    std::string_view rawLine() {
        const std::size_t end = std::min(text_.find('\n', position_), text_.size());
        const std::string_view line = text_.substr(position_, end - position_);
        position_ = end + 1;
        return line;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

void appendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

void appendHex(std::string& out, const std::vector<uint8_t>& data) {
    char digits[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? ",%02x" : "%02x", data[i]);
        out.append(digits);
    }
}

bool representableAsText(const std::vector<uint8_t>& data) {
    return std::none_of(data.begin(), data.end(), [](uint8_t c) { return c == 0 || c == '\r' || c == '\n'; });
}

void appendData(std::string& out, const RegistryFile::Value& value) {
    char prefix[24];
    if (value.type == regSz && representableAsText(value.data)) {
        appendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
    } else if (value.type == regDword && value.data.size() == 4) {
        const uint32_t number = static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
                                static_cast<uint32_t>(value.data[2]) << 16 | static_cast<uint32_t>(value.data[3]) << 24;
        std::snprintf(prefix, sizeof prefix, "dword:%08x", static_cast<unsigned>(number));
        out.append(prefix);
    } else {
        if (value.type == regBinary)
            out.append("hex:");
        else {
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
            out.append(prefix);
        }
        appendHex(out, value.data);
    }
}

} // namespace

RegistryFile::RegistryFile(std::string keyName) : keyName_(std::move(keyName)) {}

bool RegistryFile::parseKeyLine(std::string_view line) {
    return line.size() >= 2 && line.back() == ']' && equalsIgnoringCase(line.substr(1, line.size() - 2), keyName_);
}

bool RegistryFile::parse(std::string_view text) {
    hasKey_ = false;
    values_.clear();
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark) text.remove_prefix(byteOrderMark.size());
    Lines lines(text);
    std::string line;
    bool headerSeen = false;
    bool inKey = false;
    bool inOtherKey = false;
    bool damaged = false;
    while (!damaged && lines.next(line)) {
        if (line.empty() || line.front() == ';') continue;
        if (!headerSeen) {
            headerSeen = line == header;
            damaged = !headerSeen;
        } else if (line.front() == '[') {
            damaged = line.back() != ']';
            inKey = parseKeyLine(line);
            inOtherKey = !inKey;
            hasKey_ = hasKey_ || inKey;
        } else if (inKey) {
            Value value;
            const LineKind kind = readValueLine(line, value);
            damaged = kind == LineKind::damaged;
            if (kind == LineKind::value) set(value.name, value.type, value.data.data(), value.data.size());
            if (kind == LineKind::removal)
                std::erase_if(values_, named(value.name));
        } else {
            damaged = !inOtherKey;  // text between the header and the first key
        }
    }
    if (damaged || !headerSeen) {
        hasKey_ = false;
        values_.clear();
        return false;
    }
    return true;
}

std::string RegistryFile::write() const {
    std::string out;
    out.append(header).append("\r\n\r\n");
    if (!hasKey_) return out;
    out.append("[").append(keyName_).append("]\r\n");
    for (const Value& value : values_) {
        appendQuoted(out, value.name);
        out.push_back('=');
        appendData(out, value);
        out.append("\r\n");
    }
    out.append("\r\n");
    return out;
}

const RegistryFile::Value* RegistryFile::find(std::string_view name) const {
    const auto found =
        std::find_if(values_.begin(), values_.end(), named(name));
    return found == values_.end() ? nullptr : &*found;
}

void RegistryFile::set(std::string_view name, uint32_t type, const uint8_t* data, std::size_t size) {
    hasKey_ = true;
    const auto found = std::find_if(values_.begin(), values_.end(), named(name));
    Value& value = found == values_.end() ? values_.emplace_back(Value{std::string(name), type, {}}) : *found;
    value.type = type;
    value.data.assign(data, data + size);
}

} // namespace tessaranth::platform
