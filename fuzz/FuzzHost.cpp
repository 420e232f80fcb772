#include "FuzzHost.h"

#include "config/ConfigDialog.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

// The fuzz builds leave out the toolkit views: no target opens the dialog, and a form shown
// here closes at once.
namespace tessaranth::config::native {
void showConfigDialog(TConfigForm&) {}
void raiseConfigDialog() {}
} // namespace tessaranth::config::native

namespace tessaranth::fuzz {

std::size_t ByteReader::copy(void* destination, std::size_t count) {
    const std::size_t available = position_ < size_ ? size_ - position_ : 0;
    const std::size_t n = count < available ? count : available;
    if (n) std::memcpy(destination, data_ + position_, n);
    position_ += n;
    return n;
}

namespace {

// A folder of this process's own for the settings and scratch files, so that targets running
// side by side never load each other's registry. It lives under $TMPDIR, which
// scripts/run-fuzzers points at a folder it removes afterwards.
const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("tessaranth-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

} // namespace

void installQuietHost() {
    static TessaranthHostServices services = [] {
        TessaranthHostServices s{};
        s.version = TESSARANTH_HOST_SERVICES_VERSION;
        s.writePort = [](void*, uint16_t, uint16_t) {};
        s.readPort = [](void*, uint16_t port) -> uint16_t { return static_cast<uint16_t>(port * 31u); };
        s.messageBox = [](void*, const char*, const char*, uint32_t) -> int32_t { return 1; };
        s.sleepMillis = [](void*, uint32_t) {};
        s.usbOpen = [](void*) -> int32_t { return 0; };
        s.usbSetBaudRate = [](void*, uint32_t) -> int32_t { return 0; };
        s.usbWrite = [](void*, const uint8_t*, uint32_t) -> int32_t { return 0; };
        s.usbClose = [](void*) {};
        return s;
    }();
    static const bool folderSet = setenv("XDG_CONFIG_HOME", scratchFolder().c_str(), 1) == 0;
    (void)folderSet;
    tessaranthSetHostServices(&services);
}

const char* writeScratchFile(const char* name, const uint8_t* data, std::size_t size) {
    static std::map<std::string, std::string> paths;
    std::string& path = paths[name];
    if (path.empty()) path = (scratchFolder() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    return path.c_str();
}

void FuzzPlayer::refill(ByteReader& reader) {
    for (int32_t& answer : answers_) answer = reader.word();
    const std::size_t titleLength = reader.byte() + reader.byte();
    std::memset(title_, 0, sizeof title_);
    reader.copy(title_, titleLength < sizeof title_ - 1 ? titleLength : sizeof title_ - 1);
    const std::size_t nameLength = reader.byte() * 2u;
    std::memset(fileName_, 0, sizeof fileName_);
    reader.copy(fileName_, nameLength < sizeof fileName_ - 1 ? nameLength : sizeof fileName_ - 1);
    nullFileName_ = reader.byte() & 1;
}

intptr_t FuzzPlayer::onMessage(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto& self = *static_cast<FuzzPlayer*>(context);
    if (message != 0x0400) return 0;
    // Entry names are tails of the one name buffer, so that neighbouring entries differ.
    constexpr std::size_t step = sizeof fileName_ / 8;
    if (lParam == 211) return self.nullFileName_ ? 0 : reinterpret_cast<intptr_t>(self.fileName_ + wParam % 8 * step);
    return self.answers_[(static_cast<std::size_t>(lParam) + wParam) % 16];
}

int32_t FuzzPlayer::onTitle(void* context, char* buffer, int32_t size) {
    auto& self = *static_cast<FuzzPlayer*>(context);
    if (size <= 0) return 0;
    const std::size_t length = std::strlen(self.title_);
    const std::size_t n = length < static_cast<std::size_t>(size - 1) ? length : static_cast<std::size_t>(size - 1);
    std::memcpy(buffer, self.title_, n);
    buffer[n] = '\0';
    return static_cast<int32_t>(n);
}

} // namespace tessaranth::fuzz
