#include "platform/ReplaceFile.h"

namespace tessaranth::platform {

std::string temporaryPathFor(const std::string& target, unsigned long process, unsigned long serial,
                             std::size_t maxName, std::size_t maxPath) {
    const std::string suffix = "." + std::to_string(process) + "-" + std::to_string(serial) + ".tmp";
    const std::size_t slash = target.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t keep = target.size() - nameStart;
    if (keep + suffix.size() > maxName) keep = maxName > suffix.size() ? maxName - suffix.size() : 0;
    if (nameStart + keep + suffix.size() > maxPath)
        keep = maxPath > nameStart + suffix.size() ? maxPath - nameStart - suffix.size() : 0;
    return target.substr(0, nameStart + keep) + suffix;
}

} // namespace tessaranth::platform
