// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/posix/RegistryQuery.h"

#include "platform/Errors.h"

#include <cstring>

namespace tessaranth::platform {

int32_t queryValue(const RegistryFile& file, const char* name, uint32_t& type, uint8_t* data, uint32_t& size) {
    const RegistryFile::Value* value = file.find(name ? name : "");
    if (!value) return errorFileNotFound;
    type = value->type;
    const auto needed = static_cast<uint32_t>(value->data.size());
    const bool fits = needed <= size;
    size = needed;
    if (!data) return errorSuccess;
    if (!fits) return errorMoreData;
    if (needed) std::memcpy(data, value->data.data(), needed);
    return errorSuccess;
}

} // namespace tessaranth::platform
