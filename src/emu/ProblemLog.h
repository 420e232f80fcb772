// SPDX-License-Identifier: GPL-2.0-or-later
// What an emulator could not understand: unknown commands, data in the wrong state, writes
// that reach no chip. Tests fail on a non-empty log; the virtual display shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaranth::emu {

class ProblemLog {
public:
    // Keeps the first kKept messages and counts the rest, so a long run cannot grow it without bound.
    static constexpr size_t kKept = 100;

    void report(std::string message);
    void clear();

    bool empty() const { return total_ == 0; }
    size_t total() const { return total_; }
    const std::vector<std::string>& messages() const { return messages_; }
    // All kept messages, one a line, with a note of how many were dropped.
    std::string text() const;

private:
    std::vector<std::string> messages_;
    size_t total_ = 0;
};

// "0x3A": the way every problem message shows a byte or an address.
std::string hexText(uint32_t value);

} // namespace tessaranth::emu
