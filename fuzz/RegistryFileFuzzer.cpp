// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as a registry file: the parser must survive them, and whatever it accepts must
// be written out and read back unchanged.
#include "platform/posix/RegistryFile.h"

#include <string_view>

namespace {

using tessaranth::platform::RegistryFile;

constexpr const char* key = "HKEY_CURRENT_USER\\Software\\Kolvy\\Graphical LCD\\Tessaranth";

bool sameValues(const RegistryFile& a, const RegistryFile& b) {
    if (a.values().size() != b.values().size()) return false;
    for (std::size_t i = 0; i < a.values().size(); ++i) {
        const RegistryFile::Value& x = a.values()[i];
        const RegistryFile::Value& y = b.values()[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryFile file(key);
    if (!file.parse(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    const std::string written = file.write();
    RegistryFile again(key);
    if (!again.parse(written) || again.hasKey() != file.hasKey() || !sameValues(file, again) ||
        again.write() != written)
        __builtin_trap();
    return 0;
}
