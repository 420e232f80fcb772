// SPDX-License-Identifier: GPL-2.0-or-later
#include "SaveFolders.h"

#include "platform/posix/UnnamedFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace tessaranth::test {

namespace {

bool inMemory(const std::string& folder) {
    struct statfs status {};
    return statfs(folder.c_str(), &status) == 0 && (status.f_type == TMPFS_MAGIC || status.f_type == RAMFS_MAGIC);
}

// The places a test may write to, for each medium.
std::vector<std::string> candidates(Medium medium) {
    if (medium == Medium::memory) return {"/dev/shm", "/run/shm"};
    std::vector<std::string> places;
    if (const char* temporary = std::getenv("TMPDIR"); temporary && temporary[0] == '/') places.push_back(temporary);
    places.insert(places.end(), {"/var/tmp", "/tmp", std::filesystem::current_path().string()});
    return places;
}

} // namespace

SaveFolder::SaveFolder(Medium medium) {
    for (const std::string& place : candidates(medium)) {
        if (access(place.c_str(), W_OK | X_OK) != 0 || inMemory(place) != (medium == Medium::memory)) continue;
        std::string pattern = place + "/tessaranth-save-XXXXXX";
        if (!mkdtemp(pattern.data())) continue;
        path_ = pattern;
        return;
    }
    problem_ = medium == Medium::memory ? "no file system in memory to write to" : "no disk's file system to write to";
}

SaveFolder::~SaveFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

UnnamedFiles::UnnamedFiles(bool allowed) { platform::allowUnnamedFiles(allowed); }

UnnamedFiles::~UnnamedFiles() { platform::allowUnnamedFiles(true); }

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::vector<std::string> otherFiles(const std::string& folder, std::initializer_list<std::string> known) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename();
        if (std::find(known.begin(), known.end(), name) == known.end()) names.push_back(name);
    }
    return names;
}

} // namespace tessaranth::test
