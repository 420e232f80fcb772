// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/RecordedAnswers.h"

#include <sstream>

namespace tessaranth::host {

namespace {

using platform::posix::I2cAnswer;

constexpr uint32_t lineLimit = 0xFFFF;  // more lines than any chip has

std::optional<I2cAnswer> answerNamed(const std::string& name) {
    if (name == "answers") return I2cAnswer::answers;
    if (name == "silent") return I2cAnswer::silent;
    if (name == "held") return I2cAnswer::held;
    return std::nullopt;
}

// A number the stream holds in the given base, within limit; none otherwise.
std::optional<uint32_t> number(std::istream& words, uint32_t limit, int base) {
    std::string word;
    if (!(words >> word)) return std::nullopt;
    try {
        std::size_t end = 0;
        const unsigned long value = std::stoul(word, &end, base);
        if (end != word.size() || value > limit) return std::nullopt;
        return static_cast<uint32_t>(value);
    } catch (const std::logic_error&) {
        return std::nullopt;
    }
}

std::string rest(std::istream& words) {
    std::string text;
    std::getline(words >> std::ws, text);
    return text;
}

} // namespace

RecordedAnswers::RecordedAnswers(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) read(line);
}

void RecordedAnswers::read(const std::string& line) {
    std::istringstream words(line);
    std::string kind, path, answer;
    if (!(words >> kind >> path)) return;
    if (kind == "i2c") {
        const std::optional<uint32_t> address = number(words, 0x7F, 16);
        const std::optional<I2cAnswer> said = words >> answer ? answerNamed(answer) : std::nullopt;
        if (address && said) i2c_[{path, static_cast<uint8_t>(*address)}] = *said;
    } else if (kind == "gpiochip") {
        if (const std::optional<uint32_t> lines = number(words, lineLimit, 10))
            chips_[path] = {rest(words), *lines};
    } else if (kind == "gpioline") {
        if (const std::optional<uint32_t> offset = number(words, lineLimit, 10))
            usedLines_[{path, *offset}] = rest(words);
    }
}

platform::posix::I2cProbe RecordedAnswers::i2c(const std::string& device, uint8_t address) const {
    const auto found = i2c_.find({device, address});
    return {found == i2c_.end() ? I2cAnswer::silent : found->second, ""};
}

std::optional<platform::posix::GpioChipInfo> RecordedAnswers::gpioChip(const std::string& node) const {
    const auto found = chips_.find(node);
    if (found == chips_.end()) return std::nullopt;
    return found->second;
}

std::optional<platform::posix::GpioLineInfo> RecordedAnswers::gpioLine(const std::string& node, uint32_t offset) const {
    const std::optional<platform::posix::GpioChipInfo> chip = gpioChip(node);
    if (!chip || offset >= chip->lines) return std::nullopt;
    const auto used = usedLines_.find({node, offset});
    if (used == usedLines_.end()) return platform::posix::GpioLineInfo{false, ""};
    return platform::posix::GpioLineInfo{true, used->second};
}

} // namespace tessaranth::host
