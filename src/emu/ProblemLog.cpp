// SPDX-License-Identifier: GPL-2.0-or-later
#include "emu/ProblemLog.h"

#include <cstdio>

namespace tessaranth::emu {

void ProblemLog::report(std::string message) {
    ++total_;
    if (messages_.size() < kKept) messages_.push_back(std::move(message));
}

void ProblemLog::clear() {
    messages_.clear();
    total_ = 0;
}

std::string ProblemLog::text() const {
    std::string result;
    for (const std::string& message : messages_) result += message + "\n";
    if (total_ > messages_.size()) result += "... and " + std::to_string(total_ - messages_.size()) + " more\n";
    return result;
}

std::string hexText(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, value > 0xFF ? "0x%04X" : "0x%02X", static_cast<unsigned>(value));
    return buffer;
}

} // namespace tessaranth::emu
