// SPDX-License-Identifier: GPL-2.0-or-later
#include "WineHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

namespace tessaranth::test {

namespace {

namespace fs = std::filesystem;

std::string& prefixPath() {
    static std::string path;
    return path;
}

std::string& displayName() {
    static std::string name;
    return name;
}

std::string binaryFolder() {
    const char* folder = std::getenv("TESSARANTH_WINDOWS_BIN");
    return folder ? folder : TESSARANTH_DEFAULT_WINDOWS_BIN;
}

std::string quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string environment() {
    const std::string display = displayName().empty() ? "" : " DISPLAY=" + quote(displayName());
    return "WINEPREFIX=" + quote(prefixPath()) + display + " WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='";
}

// Runs a shell command line; returns its exit code and what it printed.
int shell(const std::string& command, std::string* output) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    char buffer[4096];
    std::string text;
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    const int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string joined(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) line += " " + quote(a);
    return line;
}

} // namespace

bool WineRun::has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

std::vector<std::string> WineRun::after(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
    return found;
}

std::string WineHost::prefix() { return prefixPath(); }

void WineHost::createPrefix(const std::string& display) {
    displayName() = display;
    prefixPath() = (fs::temp_directory_path() / ("tessaranth-wine-" + std::to_string(getpid()))).string();
    fs::remove_all(prefixPath());
    const std::string env = environment();
    if (shell("timeout 180 env " + env + " wineboot -i >/dev/null 2>&1", nullptr) != 0)
        throw std::runtime_error("wineboot failed for " + prefixPath());
    if (display.empty())
        tool({"reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d", "null", "/f"});
    else
        tool({"reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"});
    tool({"reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"});
    // The graphics driver is chosen when the wineserver starts: let this one end first.
    shell("timeout 60 env " + env + " wineserver -w", nullptr);
}

void WineHost::removePrefix() {
    shell("timeout 30 env " + environment() + " wineserver -k >/dev/null 2>&1", nullptr);
    std::error_code ignored;
    fs::remove_all(prefixPath(), ignored);
}

int WineHost::tool(const std::vector<std::string>& arguments, std::string* output) {
    return shell("timeout 60 env " + environment() + " wine" + joined(arguments) + " 2>/dev/null", output);
}

int WineHost::program(const std::string& name, const std::vector<std::string>& arguments, std::string* output,
                      long fileSizeLimit) {
    // The wineserver is started first, so that only the program runs under the limit.
    std::string limit;
    if (fileSizeLimit > 0) limit = "trap '' XFSZ; ulimit -f " + std::to_string((fileSizeLimit + 511) / 512) + "; ";
    return shell("env " + environment() + " wineserver -p5; " + limit + "cd " + quote(binaryFolder()) +
                     " && timeout 60 env " + environment() + " wine " + quote(name) + joined(arguments) + " 2>/dev/null",
                 output);
}

WineRun WineHost::run(const std::vector<std::string>& arguments) {
    const fs::path log = fs::path(prefixPath()) / "port.log";
    fs::remove(log);
    WineRun result;
    std::string output;
    result.exitCode = shell("cd " + quote(binaryFolder()) + " && timeout 120 env " + environment() +
                                " TESSARANTH_PORT_LOG=" + quote(log.string()) + " wine wintest.exe" + joined(arguments) +
                                " 2>/dev/null",
                            &output);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.lines.push_back(line);
    }
    std::ifstream portLog(log);
    std::ostringstream text;
    text << portLog.rdbuf();
    result.portLog = text.str();
    return result;
}

} // namespace tessaranth::test
