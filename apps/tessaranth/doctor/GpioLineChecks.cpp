// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/GpioLineChecks.h"

#include <algorithm>

namespace tessaranth::host {

namespace {

const char* const gpioMatch = "SUBSYSTEM==\"gpio\", KERNEL==\"gpiochip*\"";
const char* const listChips = "gpiodetect lists the chips with their labels: name one in the settings";
// The display names the lines it holds so.
const char* const ownConsumer = "tessaranth";

bool allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The GPIO chips' device files.
std::vector<std::string> chipNodes(const Machine& machine) {
    std::vector<std::string> nodes;
    for (const std::string& name : machine.names("/dev"))
        if (name.starts_with("gpiochip") && allDigits(name.substr(8))) nodes.push_back("/dev/" + name);
    return nodes;
}

// The device file of a chip named by path, name, number or label; empty when no chip that can
// be asked has the label.
std::string chipNode(const Machine& machine, const std::string& chip) {
    if (chip.starts_with('/')) return chip;
    if (allDigits(chip)) return "/dev/gpiochip" + chip;
    if (chip.starts_with("gpiochip")) return "/dev/" + chip;
    for (const std::string& node : chipNodes(machine)) {
        const auto info = machine.gpioChip(node);
        if (info && info->label == chip) return node;
    }
    return {};
}

// No chip has the label: perhaps one the user may not open has it.
Finding unlabelled(const Machine& machine, const std::string& chip) {
    for (const std::string& node : chipNodes(machine)) {
        const std::optional<FileFacts> file = machine.file(node);
        if (file && !machine.mayReadAndWrite(node)) {
            Finding access = deviceAccess(machine, "GPIO", node, *file, busGroupAdvice("gpio", gpioMatch));
            access.text = "no GPIO chip " + machine.userName() + " may open is labelled " + chip + ": " + access.text;
            return access;
        }
    }
    return {Verdict::problem, "GPIO", "no GPIO chip is labelled " + chip, listChips};
}

std::string lineName(const BusLine& line) { return "line " + std::to_string(line.offset) + " (" + line.role + ")"; }

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The needed lines that the settings leave without one.
std::vector<Finding> unwired(const std::vector<BusLine>& lines) {
    std::vector<std::string> roles;
    for (const BusLine& line : lines)
        if (line.needed && (line.offset < 0 || line.chip.empty())) roles.push_back(line.role);
    if (roles.empty()) return {};
    return {{Verdict::problem, "GPIO lines", "no GPIO line is set for " + listed(roles),
             "set the display's lines in the settings ('tessaranth config')"}};
}

// The chips in the order the lines name them, each with its wired lines.
std::vector<std::pair<std::string, std::vector<BusLine>>> byChip(const std::vector<BusLine>& lines) {
    std::vector<std::pair<std::string, std::vector<BusLine>>> chips;
    for (const BusLine& line : lines) {
        if (line.offset < 0 || line.chip.empty()) continue;
        auto chip = std::find_if(chips.begin(), chips.end(), [&](const auto& c) { return c.first == line.chip; });
        if (chip == chips.end()) chip = chips.insert(chips.end(), {line.chip, {}});
        chip->second.push_back(line);
    }
    return chips;
}

// The chip's device file and the user's access to it.
Finding chipAccess(const Machine& machine, const std::string& chip, const std::string& node) {
    if (node.empty()) return unlabelled(machine, chip);
    const std::optional<FileFacts> file = machine.file(node);
    if (!file) return {Verdict::problem, "GPIO", node + " is missing: the kernel has no such GPIO chip", listChips};
    return deviceAccess(machine, "GPIO", node, *file, busGroupAdvice("gpio", gpioMatch));
}

std::optional<Finding> lineProblem(const Machine& machine, const std::string& node, const platform::posix::GpioChipInfo& chip,
                                   const BusLine& line) {
    const std::string what = lineName(line) + " of " + node;
    const auto info = machine.gpioLine(node, static_cast<uint32_t>(line.offset));
    if (!info)
        return Finding{Verdict::problem, "GPIO lines",
                       node + " (" + chip.label + ") has " + std::to_string(chip.lines) + " lines, no " + lineName(line),
                       "check the line numbers in the settings: gpioinfo lists the chip's lines"};
    if (!info->used) return std::nullopt;
    if (info->consumer == ownConsumer)
        return Finding{Verdict::warning, "GPIO lines", what + " is held by tessaranth: a display is running",
                       "stop it before another one starts (systemctl --user stop tessaranth, or the system's service)"};
    return Finding{Verdict::problem, "GPIO lines",
                   what + " is in use by " + (info->consumer.empty() ? std::string("another program") : info->consumer),
                   "choose a free line, or free it: gpioinfo shows who holds each line; on a Pi a bus or overlay that "
                   "config.txt enables holds its lines"};
}

// Two signals set to one line.
std::vector<Finding> sharedLines(const std::string& node, const std::vector<BusLine>& lines) {
    std::vector<Finding> found;
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (std::size_t j = i + 1; j < lines.size(); ++j)
            if (lines[i].offset == lines[j].offset)
                found.push_back({Verdict::problem, "GPIO lines",
                                 "line " + std::to_string(lines[i].offset) + " of " + node + " is set for both " +
                                     lines[i].role + " and " + lines[j].role,
                                 "give each signal a line of its own in the settings"});
    return found;
}

std::vector<Finding> chipFindings(const Machine& machine, const std::string& chip, const std::vector<BusLine>& lines) {
    const std::string node = chipNode(machine, chip);
    const Finding access = chipAccess(machine, chip, node);
    if (access.verdict != Verdict::ok) return {access};
    const auto info = machine.gpioChip(node);
    if (!info) return {access, {Verdict::problem, "GPIO lines", node + " does not answer as a GPIO chip", listChips}};
    std::vector<Finding> findings = sharedLines(node, lines);
    for (const BusLine& line : lines)
        if (std::optional<Finding> problem = lineProblem(machine, node, *info, line)) findings.push_back(std::move(*problem));
    if (findings.empty()) {
        std::vector<std::string> names;
        for (const BusLine& line : lines) names.push_back(lineName(line));
        findings.push_back({Verdict::ok, "GPIO lines",
                            listed(names) + " of " + node + " (" + info->label + ") " + (names.size() > 1 ? "are" : "is") + " free",
                            ""});
    }
    findings.insert(findings.begin(), access);
    return findings;
}

} // namespace

std::vector<Finding> checkGpioLines(const Machine& machine, const std::vector<BusLine>& lines) {
    std::vector<Finding> findings = unwired(lines);
    for (const auto& [chip, wired] : byChip(lines))
        for (Finding& finding : chipFindings(machine, chip, wired)) findings.push_back(std::move(finding));
    return findings;
}

} // namespace tessaranth::host
