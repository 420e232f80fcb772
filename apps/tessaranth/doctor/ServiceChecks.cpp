// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/ServiceChecks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tessaranth::host {

namespace {

constexpr const char* fifoOutput =
    "audio_output { type \"fifo\" name \"tessaranth\" path \"/tmp/mpd.fifo\" format \"44100:16:2\" }";
constexpr std::size_t processesShown = 4;
constexpr std::size_t commandShown = 80;
constexpr double busyShare = 50.0;  // percent of a CPU

// The paths of the fifo outputs of an MPD configuration: audio_output blocks of type "fifo".
std::vector<std::string> fifoPaths(const std::string& configuration) {
    std::vector<std::string> paths;
    std::istringstream lines(configuration);
    bool inOutput = false;
    std::string type, path;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string key, value;
        words >> key >> std::ws;
        std::getline(words, value);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.find('"', 1) - 1);
        if (key.rfind("audio_output", 0) == 0) {
            inOutput = true;
            type.clear();
            path.clear();
        }
        if (inOutput && key == "type") type = value;
        if (inOutput && key == "path") path = value;
        if (inOutput && key.rfind('}', 0) == 0) {
            if (type == "fifo" && !path.empty()) paths.push_back(path);
            inOutput = false;
        }
    }
    return paths;
}

Finding fifoFinding(const Machine& machine, const std::string& configuration, const std::string& fifo) {
    const std::string user = machine.userName();
    const std::string output = "MPD's fifo output (" + configuration + ") writes " + fifo;
    const std::optional<FileFacts> file = machine.file(fifo);
    if (!file)
        return {Verdict::warning, "sound", output + ", which is not there", "start MPD, which makes it: sudo systemctl start mpd"};
    if (!S_ISFIFO(file->mode))
        return {Verdict::warning, "sound", output + ", which is no FIFO", "remove it and restart MPD: sudo rm " + fifo + "; sudo systemctl restart mpd"};
    if (!machine.mayRead(fifo))
        return {Verdict::warning, "sound", output + ", which " + user + " may not read", "let everyone read it: sudo chmod a+r " + fifo};
    return {Verdict::ok, "sound", output + ", and " + user + " may read it",
            "the visualisations hear it with --fifo " + fifo + " (TESSARANTH_OPTIONS in the service's service.env)"};
}

Finding soundServerFinding(const Machine& machine, const std::string& why) {
    const std::string socket = "/run/user/" + std::to_string(machine.identity().user) + "/pulse/native";
    if (machine.file(socket))
        return {Verdict::ok, "sound", why + "; the visualisations hear the sound server at " + socket, ""};
    return {Verdict::warning, "sound", why + ", and " + machine.userName() + " has no sound server: the visualisations get no sound",
            std::string("add this output to MPD's configuration: ") + fifoOutput +
                "; restart MPD and give tessaranth mpd --fifo /tmp/mpd.fifo"};
}

// One running program, as /proc shows it.
struct Process {
    std::string id;
    std::string command;  // its arguments, separated by spaces
    std::string subcommand;
    uid_t user = 0;
    double cpuSeconds = 0;
    double startSeconds = 0;  // after boot
};

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// /proc/PID/stat: the name in parentheses (which may hold anything), then fields from the third on.
bool readStat(const std::string& stat, Process& process) {
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return false;
    std::istringstream fields(stat.substr(close + 1));
    std::vector<std::string> field;
    for (std::string word; field.size() < 20 && fields >> word;) field.push_back(word);
    if (field.size() < 20) return false;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    process.cpuSeconds = (std::strtod(field[11].c_str(), nullptr) + std::strtod(field[12].c_str(), nullptr)) / ticks;
    process.startSeconds = std::strtod(field[19].c_str(), nullptr) / ticks;
    return true;
}

uid_t userOf(const std::string& status) {
    const std::size_t line = status.find("\nUid:");
    return line == std::string::npos ? 0 : static_cast<uid_t>(std::strtoul(status.c_str() + line + 5, nullptr, 10));
}

std::optional<Process> readProcess(const Machine& machine, const std::string& id) {
    const std::string folder = "/proc/" + id;
    if (firstLine(machine.text(folder + "/comm", 64)) != "tessaranth") return std::nullopt;
    Process process{id, "", "", userOf(machine.text(folder + "/status", 4096)), 0, 0};
    std::string arguments = machine.text(folder + "/cmdline", 4096);
    std::istringstream parts(arguments);
    for (std::string part; std::getline(parts, part, '\0');) {
        if (process.command.empty()) part = part.substr(part.rfind('/') + 1);
        else if (process.subcommand.empty()) process.subcommand = part;
        process.command += (process.command.empty() ? "" : " ") + part;
    }
    if (process.command.size() > commandShown) process.command = process.command.substr(0, commandShown - 3) + "...";
    if (process.subcommand == "doctor" || process.subcommand == "config" || !readStat(machine.text(folder + "/stat", 4096), process))
        return std::nullopt;
    return process;
}

std::string duration(double seconds) {
    const long whole = static_cast<long>(seconds);
    if (whole < 60) return std::to_string(whole) + " s";
    if (whole < 3600) return std::to_string(whole / 60) + " min";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole / 60 % 60) + " min";
}

unsigned cpuCount(const Machine& machine) {
    std::istringstream lines(machine.text("/proc/stat", 1 << 16));
    unsigned count = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 3 && line.rfind("cpu", 0) == 0 && line[3] >= '0' && line[3] <= '9') ++count;
    return count;
}

Finding serviceFinding(const Machine& machine, const Process& process, double uptime, unsigned cpus) {
    const double running = uptime - process.startSeconds;
    const double share = running > 0 ? 100.0 * process.cpuSeconds / running : 0.0;
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.1f %%", share);
    const std::string text = process.command + " (process " + process.id + " of " + machine.userName(process.user) +
                             ") has used " + percent + " of a CPU since it started " + duration(std::max(running, 0.0)) +
                             " ago; the machine has " + std::to_string(cpus);
    if (share < busyShare) return {Verdict::ok, "service", text, ""};
    return {Verdict::warning, "service", text,
            "a frame costs more than it should: raise the update delay or show fewer visualisations in 'tessaranth config'"};
}

} // namespace

Finding checkSound(const Machine& machine) {
    const std::string own = machine.home() + "/.config/mpd/mpd.conf";
    const std::string configuration = !machine.home().empty() && machine.file(own) ? own : "/etc/mpd.conf";
    if (!machine.file(configuration)) return soundServerFinding(machine, "there is no MPD configuration (" + configuration + ")");
    const std::vector<std::string> fifos = fifoPaths(machine.text(configuration));
    if (fifos.empty()) return soundServerFinding(machine, "MPD has no fifo output (" + configuration + ")");
    return fifoFinding(machine, configuration, fifos.front());
}

std::vector<Finding> checkService(const Machine& machine) {
    const double uptime = std::strtod(machine.text("/proc/uptime", 64).c_str(), nullptr);
    const unsigned cpus = cpuCount(machine);
    std::vector<Finding> findings;
    for (const std::string& id : machine.names("/proc")) {
        if (findings.size() == processesShown) break;
        if (id.find_first_not_of("0123456789") != std::string::npos) continue;
        if (const std::optional<Process> process = readProcess(machine, id))
            findings.push_back(serviceFinding(machine, *process, uptime, cpus));
    }
    if (findings.empty()) findings.push_back({Verdict::ok, "service", "no tessaranth is running besides the doctor", ""});
    return findings;
}

} // namespace tessaranth::host
