// SPDX-License-Identifier: GPL-2.0-or-later
// Waiting in tests for what happens elsewhere: another thread, another process.
#pragma once

#include <chrono>
#include <thread>

namespace tessaranth::test {

// Waits up to `millis` for the condition, checking every 20 ms.
template <class Condition>
bool waitFor(int millis, const Condition& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace tessaranth::test
