// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgramRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tessaranth::test {

Outcome runToEnd(const std::string& commandLine, const std::string& folder) {
    const std::string out = folder + "/out", err = folder + "/err";
    const int status = std::system((commandLine + " >" + out + " 2>" + err + " </dev/null").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileText(out), fileText(err)};
}

std::string fileText(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

} // namespace tessaranth::test
