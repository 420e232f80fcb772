// SPDX-License-Identifier: GPL-2.0-or-later
#include "FuzzHost.h"

#include "config/ConfigDialog.h"

#include <cstring>
#include <map>
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// The fuzz builds leave out the toolkit views: no target opens the dialog, and a form shown
// here closes at once.
namespace tessaranth::config::native {
void showConfigDialog(TConfigForm&) {}
void raiseConfigDialog() {}
} // namespace tessaranth::config::native

// AddressSanitizer's quarantine of freed memory (256 MB unless ASAN_OPTIONS says otherwise) is
// made for long-running programs. An input frees far less than 16 MB before it is done, so a use
// after free still finds its memory held back, and the targets no longer fault in fresh pages for
// every start-up's buffers.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace tessaranth::fuzz {

std::size_t ByteReader::copy(void* destination, std::size_t count) {
    const std::size_t available = position_ < size_ ? size_ - position_ : 0;
    const std::size_t n = count < available ? count : available;
    if (n) std::memcpy(destination, data_ + position_, n);
    position_ += n;
    return n;
}

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
        // What is handed to the adapter must be there to be read, all of it.
        s.usbWrite = [](void*, const uint8_t* data, uint32_t length) -> int32_t {
            if (__asan_region_is_poisoned(const_cast<uint8_t*>(data), length)) {
                __sanitizer_print_stack_trace();
                __builtin_trap();
            }
            return 0;
        };
        s.usbClose = [](void*) {};
        return s;
    }();
    tessaranthSetHostServices(&services);
}

// Scratch files live in memory, whatever TMPDIR is: a file of memfd_create, opened by the
// plug-in through its name under /proc/self/fd like any other file.
const char* writeScratchFile(const char* name, const uint8_t* data, std::size_t size) {
    struct ScratchFile {
        int fd;
        std::string path;
    };
    static std::map<std::string, ScratchFile> files;
    auto [place, added] = files.try_emplace(name, ScratchFile{-1, {}});
    ScratchFile& file = place->second;
    if (added) {
        file.fd = memfd_create(name, MFD_CLOEXEC);
        file.path = "/proc/self/fd/" + std::to_string(file.fd);
    }
    if (ftruncate(file.fd, 0) != 0 || pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size)) __builtin_trap();
    return file.path.c_str();
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
