// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfigHome.h"

#include "settings/Settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace tessaranth::test {

namespace {

// A memory file system where there is one: every stored registry value is flushed to the disk,
// which there costs nothing.
std::string temporaryFolder() {
    if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
    const char* temporary = std::getenv("TMPDIR");
    return temporary && *temporary ? temporary : "/tmp";
}

} // namespace

TemporaryConfigHome::TemporaryConfigHome() {
    std::string pattern = temporaryFolder() + "/tessaranth-config-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary configuration folder");
    path_ = pattern;
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    hadPrevious_ = previous != nullptr;
    if (previous) previous_ = previous;
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
}

TemporaryConfigHome::~TemporaryConfigHome() {
    if (hadPrevious_)
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryConfigHome::writeRegistry(std::string_view text) const {
    std::filesystem::create_directories(path_ + "/tessaranth");
    std::ofstream(registryPath(), std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string TemporaryConfigHome::readRegistry() const {
    std::ifstream file(registryPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool TemporaryConfigHome::registryExists() const { return std::filesystem::exists(registryPath()); }

const std::string& defaultRegistryText() {
    static const std::string text = [] {
        TemporaryConfigHome home;
        Settings defaults;
        defaults.saveToRegistry();
        return home.readRegistry();
    }();
    return text;
}

} // namespace tessaranth::test
