// SPDX-License-Identifier: GPL-2.0-or-later
#include "MemoryRegistry.h"

#include "platform/Registry.h"
#include "platform/posix/RegistryFile.h"
#include "platform/posix/RegistryQuery.h"

namespace tessaranth {

namespace {

platform::RegistryFile& heldKey() {
    static platform::RegistryFile key("");
    return key;
}

std::string& heldKeyName() {
    static std::string name;
    return name;
}

thread_local uint32_t lastErrorCode = 0;

} // namespace

void fuzz::setRegistryText(const std::string& keyName, std::string_view text) {
    heldKeyName() = keyName;
    heldKey() = platform::RegistryFile(keyName);
    heldKey().parse(text);
}

namespace platform {

namespace {

struct OpenKey {
    uint32_t access;
};

OpenKey* openKey(RegistryKey key) { return reinterpret_cast<OpenKey*>(key); }

// The registry holds one key: opening another one replaces it, when it is created.
int32_t open(uint32_t root, const char* path, uint32_t access, RegistryKey& handle, bool create) {
    handle = 0;
    if (root != hkeyCurrentUser || !path) return create ? errorAccessDenied : errorFileNotFound;
    const std::string name = std::string("HKEY_CURRENT_USER\\") + path;
    const bool held = name == heldKeyName() && heldKey().hasKey();
    if (!held && !create) return errorFileNotFound;
    if (!held) {
        fuzz::setRegistryText(name, {});
        heldKey().createKey();
    }
    handle = reinterpret_cast<RegistryKey>(new OpenKey{access});
    return errorSuccess;
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
    return queryValue(heldKey(), name, type, data, size);
}

int32_t registrySetValue(RegistryKey handle, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    const OpenKey* key = openKey(handle);
    if (!key) return errorInvalidHandle;
    if (!(key->access & keySetValue)) return errorAccessDenied;
    if (!name || (!data && size)) return errorInvalidParameter;
    heldKey().set(name, type, data, size);
    return errorSuccess;
}

// Values are held as they are set: there is nothing more to write.
int32_t registryFlushKey(RegistryKey handle) { return openKey(handle) ? errorSuccess : errorInvalidHandle; }

int32_t registryCloseKey(RegistryKey handle) {
    if (!handle) return errorInvalidHandle;
    delete openKey(handle);
    return errorSuccess;
}

void setLastError(uint32_t code) { lastErrorCode = code; }

uint32_t lastError() { return lastErrorCode; }

} // namespace platform

} // namespace tessaranth
