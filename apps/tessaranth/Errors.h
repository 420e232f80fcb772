// SPDX-License-Identifier: GPL-2.0-or-later
// The two ways a run ends early: the command line was wrong (exit code 2), or something the run
// needs failed (exit code 1). Both carry the one-line reason shown to the user.
#pragma once

#include <stdexcept>

namespace tessaranth::host {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace tessaranth::host
