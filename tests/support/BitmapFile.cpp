#include "BitmapFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace tessaranth::test {

namespace {

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

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

std::vector<uint8_t> bitmapBytes(int width, int height, const PixelFunction& lit) {
    const size_t stride = static_cast<size_t>((width + 31) / 32 * 4);
    std::vector<uint8_t> bytes(62 + stride * static_cast<size_t>(height), 0xFF);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    put32(bytes, 10, 62);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<uint32_t>(width));
    put32(bytes, 22, static_cast<uint32_t>(height));
    bytes[26] = 1;  // planes
    bytes[28] = 1;  // bits per pixel
    put32(bytes, 30, 0);
    put32(bytes, 34, static_cast<uint32_t>(stride * static_cast<size_t>(height)));
    put32(bytes, 46, 2);
    put32(bytes, 54, 0x00000000);  // palette entry 0: black
    put32(bytes, 58, 0x00FFFFFF);  // palette entry 1: white
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &bytes[62 + stride * static_cast<size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x)
            if (lit(x, y)) row[x / 8] = static_cast<uint8_t>(row[x / 8] & ~(0x80 >> (x % 8)));
    }
    return bytes;
}

std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    static const ScratchFolder folder;
    const std::string path = folder.path() + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

} // namespace tessaranth::test
