// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the Windows test host under Wine in a prefix of its own, one run at a time.
#pragma once

#include <string>
#include <vector>

namespace tessaranth::test {

struct WineRun {
    int exitCode = -1;
    std::vector<std::string> lines;  // what the test host printed, one fact per line
    std::string portLog;             // the recording port library's log

    bool has(const std::string& line) const;
    // The lines that start with prefix, without it.
    std::vector<std::string> after(const std::string& prefix) const;
};

class WineHost {
public:
    // Creates a fresh 32-bit prefix with no crash dialog: with the null graphics driver, or
    // with the X11 driver on `display` (Wine drawing the window frames itself, as there is no
    // window manager).
    static void createPrefix(const std::string& display = "");
    // Ends the prefix's wineserver and removes the prefix.
    static void removePrefix();

    // Runs wintest.exe with these arguments, from the folder that holds the DLLs.
    static WineRun run(const std::vector<std::string>& arguments);
    // Runs a Wine tool (reg, regedit) in the prefix; returns its exit code.
    static int tool(const std::vector<std::string>& arguments, std::string* output = nullptr);
    // Runs another of the built Windows programs, from the same folder. A size limit in bytes
    // makes every file the program writes end there, as on a full disk.
    static int program(const std::string& name, const std::vector<std::string>& arguments, std::string* output,
                       long fileSizeLimit = 0);
    static std::string prefix();
};

} // namespace tessaranth::test
