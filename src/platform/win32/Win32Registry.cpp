// SPDX-License-Identifier: GPL-2.0-or-later
// Windows backend of the registry: the Win32 registry functions themselves.
#include "platform/Registry.h"

#include <windows.h>

namespace tessaranth::platform {

namespace {

HKEY rootHandle(uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

HKEY handleOf(RegistryKey key) { return reinterpret_cast<HKEY>(key); }

} // namespace

int32_t registryCreateKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegCreateKeyExA(rootHandle(root), path, 0, nullptr, 0, access, nullptr, &opened, nullptr);
    key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return status;
}

int32_t registryOpenKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(rootHandle(root), path, 0, access, &opened);
    key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return status;
}

int32_t registryQueryValue(RegistryKey key, const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
    DWORD valueType = REG_NONE;
    DWORD valueSize = size;
    const LONG status = RegQueryValueExA(handleOf(key), name, nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

int32_t registrySetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    return RegSetValueExA(handleOf(key), name, 0, type, data, size);
}

int32_t registryFlushKey(RegistryKey key) { return RegFlushKey(handleOf(key)); }

int32_t registryCloseKey(RegistryKey key) { return RegCloseKey(handleOf(key)); }

void setLastError(uint32_t code) { SetLastError(code); }

uint32_t lastError() { return GetLastError(); }

} // namespace tessaranth::platform
