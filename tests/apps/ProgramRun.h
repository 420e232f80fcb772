// SPDX-License-Identifier: GPL-2.0-or-later
// The program run to its end by a test, as a person runs it from a shell.
#pragma once

#include <string>

namespace tessaranth::test {

struct Outcome {
    int exitCode;  // -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// Runs the shell command line with nothing on its standard input; what it writes passes through
// files in `folder`.
Outcome runToEnd(const std::string& commandLine, const std::string& folder);

// The file's bytes as they stand; empty when there is no such file.
std::string fileText(const std::string& path);

} // namespace tessaranth::test
