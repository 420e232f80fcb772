// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ReplaceFile.h"

#include <charconv>
#include <string_view>

namespace tessaranth::platform {

namespace {

constexpr std::string_view temporaryEnd = ".tmp";

std::size_t nameStartOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// Reads the decimal number that text holds, all of it.
bool wholeNumber(std::string_view text, unsigned long& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::string temporaryPathFor(const std::string& target, unsigned long process, unsigned long serial,
                             std::size_t maxName, std::size_t maxPath) {
    const std::string suffix = "." + std::to_string(process) + "-" + std::to_string(serial) + std::string(temporaryEnd);
    const std::size_t nameStart = nameStartOf(target);
    std::size_t keep = target.size() - nameStart;
    if (keep + suffix.size() > maxName) keep = maxName > suffix.size() ? maxName - suffix.size() : 0;
    if (nameStart + keep + suffix.size() > maxPath)
        keep = maxPath > nameStart + suffix.size() ? maxPath - nameStart - suffix.size() : 0;
    return target.substr(0, nameStart + keep) + suffix;
}

// The name ends in ".<process>-<serial>.tmp"; the whole name must be the one that those numbers
// give, so that a file of another target, or of no save at all, never matches.
bool isTemporaryNameFor(const std::string& target, const std::string& name, std::size_t maxName,
                        std::size_t maxPath, unsigned long& process) {
    const std::string_view text(name);
    if (!text.ends_with(temporaryEnd)) return false;
    const std::string_view numbers = text.substr(0, text.size() - temporaryEnd.size());
    const std::size_t dash = numbers.rfind('-');
    const std::size_t dot = numbers.rfind('.', dash);
    if (dash == std::string_view::npos || dot == std::string_view::npos) return false;
    unsigned long serial = 0;
    if (!wholeNumber(numbers.substr(dot + 1, dash - dot - 1), process) || !wholeNumber(numbers.substr(dash + 1), serial))
        return false;
    const std::string path = temporaryPathFor(target, process, serial, maxName, maxPath);
    return std::string_view(path).substr(nameStartOf(path)) == text;
}

} // namespace tessaranth::platform
