// SPDX-License-Identifier: GPL-2.0-or-later
#include "doctor/BootConfig.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace tessaranth::host {

namespace {

constexpr const char* modelPrefix = "Raspberry Pi";
constexpr const char* firmwareConfig = "/boot/firmware/config.txt";
constexpr const char* olderConfig = "/boot/config.txt";
constexpr int includeDepth = 4;

struct ModelFilters {
    const char* model;    // the start of the device tree's model
    const char* filters;  // the section filters that hold for it
};

// The firmware's model filters, most particular model first.
constexpr std::array<ModelFilters, 16> modelFilters{{
    {"Raspberry Pi 500", "pi5 pi500"},
    {"Raspberry Pi 5", "pi5"},
    {"Raspberry Pi Compute Module 5", "pi5 cm5"},
    {"Raspberry Pi 400", "pi4 pi400"},
    {"Raspberry Pi 4", "pi4"},
    {"Raspberry Pi Compute Module 4S", "pi4 cm4s"},
    {"Raspberry Pi Compute Module 4", "pi4 cm4"},
    {"Raspberry Pi 3 Model B Plus", "pi3 pi3+"},
    {"Raspberry Pi 3 Model A Plus", "pi3 pi3+"},
    {"Raspberry Pi 3", "pi3"},
    {"Raspberry Pi Compute Module 3", "pi3"},
    {"Raspberry Pi Zero 2", "pi0 pi02"},
    {"Raspberry Pi Zero W", "pi0 pi0w"},
    {"Raspberry Pi Zero", "pi0"},
    {"Raspberry Pi 2", "pi2"},
    {"Raspberry Pi", "pi1"},
}};

std::vector<std::string> filtersOf(const std::string& model) {
    const auto row = std::find_if(modelFilters.begin(), modelFilters.end(),
                                  [&](const ModelFilters& r) { return model.rfind(r.model, 0) == 0; });
    std::vector<std::string> filters;
    std::istringstream words(row->filters);
    for (std::string word; words >> word;) filters.push_back(word);
    return filters;
}

bool modelFilter(const std::string& filter) {
    return std::any_of(modelFilters.begin(), modelFilters.end(), [&](const ModelFilters& r) {
        return (" " + std::string(r.filters) + " ").find(" " + filter + " ") != std::string::npos;
    });
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> items(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');) found.push_back(trimmed(item));
    return found;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

} // namespace

BootConfig::BootConfig(std::string model) : model_(std::move(model)), filters_(filtersOf(model_)) {}

std::optional<BootConfig> BootConfig::read(const Machine& machine) {
    std::string model = machine.deviceTreeModel();
    if (model.rfind(modelPrefix, 0) != 0) return std::nullopt;
    BootConfig config(std::move(model));
    for (const char* path : {firmwareConfig, olderConfig})
        if (machine.file(path)) {
            config.path_ = path;
            config.readFile(machine, path, 0);
            break;
        }
    return config;
}

std::string BootConfig::pathToEdit() const { return path_.empty() ? firmwareConfig : path_; }

std::string BootConfig::parameter(const std::string& name) const {
    const auto found = parameters_.find(name);
    return found == parameters_.end() ? std::string() : found->second;
}

bool BootConfig::enabled(const std::vector<std::string>& names) const {
    return std::any_of(names.begin(), names.end(), [this](const std::string& name) {
        const std::string value = lowered(parameter(name));
        return value == "on" || value == "true" || value == "yes" || value == "okay" || value == "y" || value == "1";
    });
}

bool BootConfig::hasOverlay(const std::string& start) const {
    return std::any_of(overlays_.begin(), overlays_.end(), [&](const std::string& name) { return name.rfind(start, 0) == 0; });
}

void BootConfig::readFile(const Machine& machine, const std::string& path, int depth) {
    std::istringstream lines(machine.text(path));
    for (std::string line; std::getline(lines, line);) readLine(machine, trimmed(line), depth);
}

void BootConfig::readLine(const Machine& machine, const std::string& line, int depth) {
    if (line.empty() || line.front() == '#') return;
    if (line.front() == '[') return section(lowered(line.substr(1, line.find(']') - 1)));
    if (line.rfind("include", 0) == 0 && line.size() > 8 && (line[7] == ' ' || line[7] == '\t') && depth < includeDepth) {
        const std::string name = trimmed(line.substr(7));
        return readFile(machine, folderOf(path_) + name.substr(name.rfind('/') + 1), depth + 1);
    }
    if (!applies_) return;
    const std::size_t equals = line.find('=');
    const std::string key = lowered(trimmed(line.substr(0, equals)));
    const std::vector<std::string> values = items(equals == std::string::npos ? "" : line.substr(equals + 1));
    if (key == "dtoverlay" && !values.empty() && !values.front().empty()) overlays_.push_back(values.front());
    if (key != "dtparam") return;
    for (const std::string& item : values) {
        const std::size_t assign = item.find('=');
        if (!item.empty())
            parameters_[trimmed(item.substr(0, assign))] = assign == std::string::npos ? "on" : trimmed(item.substr(assign + 1));
    }
}

void BootConfig::section(const std::string& filter) {
    if (filter == "all")
        applies_ = true;
    else if (filter == "none")
        applies_ = false;
    else if (modelFilter(filter))
        applies_ = std::find(filters_.begin(), filters_.end(), filter) != filters_.end();
}

} // namespace tessaranth::host
