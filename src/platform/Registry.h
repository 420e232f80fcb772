// SPDX-License-Identifier: GPL-2.0-or-later
// The registry: one call per Win32 registry function, with the Win32 meanings, status codes
// and value types. On Windows these are the real registry functions; elsewhere a file
// registry (posix/PosixRegistry.cpp) keeps the values.
//
// Writing: the Win32 registry stores each value as it is set, and registryFlushKey makes the
// key's values durable. The file registry keeps what is set (and a key that registryCreateKey
// made) in the open key until registryFlushKey writes them all to the file at once, which makes
// the values set between two flushes one transaction: the file holds all of them or none.
// Closing a key whose changes were not flushed drops them there. Code that writes therefore
// sets its values and then flushes the key, once.
#pragma once

#include "platform/Errors.h"

#include <cstdint>

namespace tessaranth::platform {

using RegistryKey = std::uintptr_t;  // an open key; 0 is no key

// Root keys.
constexpr uint32_t hkeyCurrentUser = 0x80000001u;

// Value types.
constexpr uint32_t regSz = 1;
constexpr uint32_t regBinary = 3;
constexpr uint32_t regDword = 4;

// Access rights.
constexpr uint32_t keyQueryValue = 0x0001;
constexpr uint32_t keySetValue = 0x0002;
constexpr uint32_t keyRead = 0x20019;
constexpr uint32_t keyWrite = 0x20006;

// RegCreateKeyExA with options 0: opens the key, creating it and its parents when missing.
int32_t registryCreateKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key);
// RegOpenKeyExA: fails with errorFileNotFound when the key does not exist.
int32_t registryOpenKey(uint32_t root, const char* path, uint32_t access, RegistryKey& key);
// RegQueryValueExA: type receives the value's type whatever the outcome once the value exists;
// size passes the buffer size in and the value's size out. A value larger than the buffer
// fails with errorMoreData and writes nothing; a null data pointer only asks for the size.
int32_t registryQueryValue(RegistryKey key, const char* name, uint32_t& type, uint8_t* data, uint32_t& size);
// RegSetValueExA: stores size bytes of data as the named value with the given type.
int32_t registrySetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size);
// RegFlushKey: the key's values reach the medium before it returns.
int32_t registryFlushKey(RegistryKey key);
// RegCloseKey.
int32_t registryCloseKey(RegistryKey key);

// SetLastError and GetLastError.
void setLastError(uint32_t code);
uint32_t lastError();

} // namespace tessaranth::platform
