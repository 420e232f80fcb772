// SPDX-License-Identifier: GPL-2.0-or-later
#include "BitmapFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace tessaranth::test {

namespace {

// The files of this process, in a folder of its own that goes when the process ends normally.
// Test programs of other builds may run at the same time, and a child the process forks ends
// without taking its parent's folder.
class ScratchFolder {
public:
    ScratchFolder() : owner_(getpid()) {
        std::string pattern = ::testing::TempDir() + "tessaranth-files-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder like " + pattern);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (getpid() == owner_) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    pid_t owner_;
    std::string path_;
};

} // namespace

std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    static const ScratchFolder folder;
    const std::string path = folder.path() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace tessaranth::test
