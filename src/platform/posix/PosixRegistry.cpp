// SPDX-License-Identifier: GPL-2.0-or-later
// Linux backend of the registry: the one key lives in $XDG_CONFIG_HOME/tessaranth/registry.reg
// (~/.config when the variable is unset), a REGEDIT4 file. Every open reads the file into the
// open key; what is set there stays in memory until a flush rewrites the file whole, once,
// through replaceFile. A file that cannot be parsed is reported once and then treated as
// absent; only a save replaces it.
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/ReplaceFile.h"
#include "platform/posix/PosixStatus.h"
#include "platform/posix/RegistryLocation.h"
#include "platform/posix/RegistryFile.h"
#include "platform/posix/RegistryQuery.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaranth::platform {

namespace {

constexpr std::size_t maximumFileSize = 16u << 20;

thread_local uint32_t lastErrorCode = 0;

struct OpenKey {
    RegistryFile file;
    std::string location;
    uint32_t access;
    bool pending = false;  // a value set or the key made since the file was read or written
};

// The file last reported as damaged, so that it is reported only once.
struct FileIdentity {
    std::string location;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileIdentity& other) const {
        return location == other.location && device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};
FileIdentity reportedDamage;

std::string configFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/') return configHome;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.config" : std::string();
}

} // namespace

std::string registryFileLocation() {
    const std::string folder = configFolder();
    return folder.empty() ? folder : folder + "/tessaranth/registry.reg";
}

namespace {

bool keyName(uint32_t root, const char* path, std::string& name) {
    if (root != hkeyCurrentUser || !path) return false;
    name = std::string("HKEY_CURRENT_USER\\") + path;
    return true;
}

void reportDamage(const FileIdentity& file) {
    if (file == reportedDamage) return;
    reportedDamage = file;
    const std::string text = "The settings file " + file.location +
                             " is damaged. It is ignored until the settings are saved again.";
    messageBox(text.c_str(), "Tessaranth", mbIconWarning);
}

// Reads the key from the file. A missing or damaged file leaves the key absent.
int32_t readKey(OpenKey& key) {
    if (key.location.empty()) return errorPathNotFound;
    std::FILE* stream = std::fopen(key.location.c_str(), "rb");
    if (!stream) return errno == ENOENT || errno == ENOTDIR ? errorSuccess : errorAccessDenied;
    std::string text;
    char chunk[16384];
    std::size_t length = 0;
    while (text.size() <= maximumFileSize && (length = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
        text.append(chunk, length);
    const bool failed = std::ferror(stream) != 0;
    struct stat status {};
    fstat(fileno(stream), &status);
    std::fclose(stream);
    if (failed) return errorAccessDenied;
    if (text.size() > maximumFileSize || !key.file.parse(text))
        reportDamage({key.location, status.st_dev, status.st_ino, status.st_size, status.st_mtim});
    return errorSuccess;
}

int32_t writeKey(const OpenKey& key) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(key.location).parent_path(), error);
    if (error) return statusOfErrno(error.value());
    const std::string text = key.file.write();
    return replaceFile(key.location.c_str(), text.data(), text.size());
}

OpenKey* openKey(RegistryKey key) { return reinterpret_cast<OpenKey*>(key); }

int32_t open(uint32_t root, const char* path, uint32_t access, RegistryKey& handle, bool create) {
    handle = 0;
    std::string name;
    if (!keyName(root, path, name)) return create ? errorAccessDenied : errorFileNotFound;
    auto key = std::make_unique<OpenKey>(OpenKey{RegistryFile(name), registryFileLocation(), access});
    int32_t status = readKey(*key);
    if (status == errorSuccess && !key->file.hasKey()) {
        if (create) {
            key->file.createKey();
            key->pending = true;
        } else {
            status = errorFileNotFound;
        }
    }
    if (status == errorSuccess) handle = reinterpret_cast<RegistryKey>(key.release());
    return status;
}

} // namespace

int32_t registryCreateKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key) {
    return open(root, path, access, key, true);
}

int32_t registryOpenKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key) {
    return open(root, path, access, key, false);
}

int32_t registryQueryValue(RegistryKey handle, const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
    const OpenKey* key = openKey(handle);
    if (!key) return errorInvalidHandle;
    if (!(key->access & keyQueryValue)) return errorAccessDenied;
    return queryValue(key->file, name, type, data, size);
}

int32_t registrySetValue(RegistryKey handle, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    OpenKey* key = openKey(handle);
    if (!key) return errorInvalidHandle;
    if (!(key->access & keySetValue)) return errorAccessDenied;
    if (!name || (!data && size)) return errorInvalidParameter;
    key->file.set(name, type, data, size);
    key->pending = true;
    return errorSuccess;
}

int32_t registryFlushKey(RegistryKey handle) {
    OpenKey* key = openKey(handle);
    if (!key) return errorInvalidHandle;
    if (!key->pending) return errorSuccess;
    const int32_t status = writeKey(*key);
    if (status == errorSuccess) key->pending = false;
    return status;
}

int32_t registryCloseKey(RegistryKey handle) {
    if (!handle) return errorInvalidHandle;
    std::unique_ptr<OpenKey> closed(openKey(handle));
    return errorSuccess;
}

void setLastError(uint32_t code) { lastErrorCode = code; }

uint32_t lastError() { return lastErrorCode; }

} // namespace tessaranth::platform
