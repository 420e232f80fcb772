// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/RegistryAccess.h"

#include "platform/Platform.h"

#include <cstring>

namespace tessaranth {

namespace {

void report(const char* text, int32_t status) {
    platform::messageBox(text, "Tessaranth", platform::mbIconWarning);
    platform::setLastError(static_cast<uint32_t>(status));
}

} // namespace

RegistryAccess::~RegistryAccess() { closeKey(); }

void RegistryAccess::closeKey() {
    if (key_) platform::registryCloseKey(key_);
    key_ = 0;
}

bool RegistryAccess::createKey(uint32_t root, const char* path) {
    closeKey();
    saveStatus_ = platform::registryCreateKey(root, path, platform::keyWrite, key_);
    saveReported_ = saveStatus_ != platform::errorSuccess;
    if (saveReported_) report("Error creating registry key", saveStatus_);
    return !saveReported_;
}

bool RegistryAccess::write(const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    if (saveStatus_ != platform::errorSuccess) return false;
    saveStatus_ = platform::registrySetValue(key_, name, type, data, size);
    return saveStatus_ == platform::errorSuccess;
}

bool RegistryAccess::writeBinary(const char* name, const uint8_t* data, uint32_t size) {
    return write(name, platform::regBinary, data, size);
}

bool RegistryAccess::writeDword(const char* name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return write(name, platform::regDword, bytes, sizeof bytes);
}

bool RegistryAccess::writeString(const char* name, const char* text) {
    if (!text) text = "";
    return write(name, platform::regSz, reinterpret_cast<const uint8_t*>(text),
                 static_cast<uint32_t>(std::strlen(text)));
}

bool RegistryAccess::commit() {
    if (saveStatus_ == platform::errorSuccess) saveStatus_ = platform::registryFlushKey(key_);
    closeKey();
    if (saveStatus_ == platform::errorSuccess) return true;
    if (!saveReported_) report("Registry write error", saveStatus_);
    saveReported_ = true;
    return false;
}

RegistryRead RegistryAccess::read(uint32_t root, const char* path, const char* name, uint32_t type,
                                  uint8_t* buffer, uint32_t& size) {
    platform::RegistryKey key = 0;
    uint32_t storedType = 0;
    int32_t status = platform::registryOpenKey(root, path, platform::keyRead, key);
    if (status == platform::errorSuccess) {
        status = platform::registryQueryValue(key, name, storedType, buffer, size);
        platform::registryCloseKey(key);
    }
    if (status != platform::errorSuccess) {
        reportReadFailure(status);
        return RegistryRead::failed;
    }
    return storedType == type ? RegistryRead::ok : RegistryRead::typeError;
}

RegistryRead RegistryAccess::readExactly(uint32_t root, const char* path, const char* name, uint32_t type,
                                         uint8_t* buffer, uint32_t& size) {
    const uint32_t wanted = size;
    const RegistryRead result = read(root, path, name, type, buffer, size);
    if (result != RegistryRead::ok || size == wanted) return result;
    reportReadFailure(platform::errorInvalidData);
    return RegistryRead::failed;
}

RegistryRead RegistryAccess::readBinary(uint32_t root, const char* path, const char* name, uint8_t* buffer,
                                        uint32_t& size) {
    if (!buffer) return RegistryRead::missingBuffer;
    return readExactly(root, path, name, platform::regBinary, buffer, size);
}

RegistryRead RegistryAccess::readDword(uint32_t root, const char* path, const char* name, uint32_t& value) {
    value = 0;
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    const RegistryRead result = readExactly(root, path, name, platform::regDword, bytes, size);
    if (result != RegistryRead::ok) return result;
    value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return RegistryRead::ok;
}

RegistryRead RegistryAccess::readString(uint32_t root, const char* path, const char* name, char* buffer,
                                        uint32_t& size) {
    if (!buffer) return RegistryRead::missingBuffer;
    return read(root, path, name, platform::regSz, reinterpret_cast<uint8_t*>(buffer), size);
}

void RegistryAccess::reportReadFailure(int32_t status) { report("Registry read error", status); }

} // namespace tessaranth
