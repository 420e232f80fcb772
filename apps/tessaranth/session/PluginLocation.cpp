// SPDX-License-Identifier: GPL-2.0-or-later
#include "session/PluginLocation.h"

#include <system_error>

namespace tessaranth::host {

std::string fileBeside(const std::filesystem::path& program, std::span<const char* const> relativePaths) {
    const std::filesystem::path folder = program.parent_path();
    for (const char* relative : relativePaths) {
        const std::filesystem::path candidate = (folder / relative).lexically_normal();
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate.string();
    }
    return relativePaths.empty() ? std::string() : (folder / relativePaths.front()).lexically_normal().string();
}

std::string fileBesideThisProgram(std::span<const char* const> relativePaths) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return fileBeside(error ? std::filesystem::path("tessaranth") : program, relativePaths);
}

} // namespace tessaranth::host
