// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/TrackText.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessaranth::host {

namespace {

// U+00C0..U+00FF and U+0100..U+017F without their accents; '?' marks the few that take two
// letters (see twoLetters).
constexpr std::string_view latin1Letters = "AAAAAA?CEEEEIIIIDNOOOOOxOUUUUY??aaaaaa?ceeeeiiiidnooooo/ouuuuy?y";
constexpr std::string_view latinExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo??"
    "RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(latin1Letters.size() == 0x40 && latinExtendedA.size() == 0x80);

std::string_view twoLetters(char32_t c) {
    switch (c) {
    case 0xC6: return "AE";
    case 0xDE: return "Th";
    case 0xDF: return "ss";
    case 0xE6: return "ae";
    case 0xFE: return "th";
    case 0x132: return "IJ";
    case 0x133: return "ij";
    case 0x152: return "OE";
    case 0x153: return "oe";
    default: return "?";
    }
}

std::string_view punctuation(char32_t c) {
    switch (c) {
    case 0xA0: case 0x2002: case 0x2003: case 0x2009: case 0x202F: return " ";
    case 0xAB: case 0xBB: case 0x201C: case 0x201D: case 0x201E: return "\"";
    case 0xB4: case 0x2018: case 0x2019: case 0x201A: case 0x2032: return "'";
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212: return "-";
    case 0x2026: return "...";
    case 0xB7: case 0x2022: return ".";
    default: return "?";
    }
}

std::string_view asciiOf(char32_t c, char& single) {
    if (c < 0x20 || c == 0x7F) return " ";
    if (c < 0x80) {
        single = static_cast<char>(c);
        return {&single, 1};
    }
    std::string_view letter;
    if (c >= 0xC0 && c < 0x100) letter = latin1Letters.substr(c - 0xC0, 1);
    else if (c >= 0x100 && c < 0x180) letter = latinExtendedA.substr(c - 0x100, 1);
    else return punctuation(c);
    return letter == "?" ? twoLetters(c) : letter;
}

// Decodes one UTF-8 sequence at text[i], advancing i; nothing for a byte that starts no valid
// sequence (overlong forms, surrogates and values past U+10FFFF included), which is skipped alone.
std::optional<char32_t> decode(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<uint8_t>(text[i++]);
    if (lead < 0x80) return lead;
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + static_cast<std::size_t>(length - 1) > text.size()) return std::nullopt;
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[i + static_cast<std::size_t>(k - 1)]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[static_cast<std::size_t>(length)] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return std::nullopt;
    i += static_cast<std::size_t>(length - 1);
    return c;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string displayText(std::string_view utf8, std::size_t limit) {
    std::string text;
    std::size_t i = 0;
    while (i < utf8.size() && text.size() < limit) {
        char single = 0;
        const std::optional<char32_t> c = decode(utf8, i);
        const std::string_view ascii = c ? asciiOf(*c, single) : "?";
        text.append(ascii.substr(0, limit - text.size()));
    }
    return text;
}

std::string pathOfUrl(std::string_view url) {
    constexpr std::string_view scheme = "file://";
    if (!url.starts_with(scheme)) return displayText(url);
    std::string path;
    for (std::size_t i = scheme.size(); i < url.size(); ++i) {
        const int high = url[i] == '%' && i + 2 < url.size() ? hexDigit(url[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(url[i + 2]) : -1;
        if (low < 0) {
            path += url[i];
            continue;
        }
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return displayText(path);
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace tessaranth::host
