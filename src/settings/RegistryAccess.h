// SPDX-License-Identifier: GPL-2.0-or-later
// The registry accessor. A read opens the key, reads one value and closes the key again. A save
// is one transaction: createKey opens the key and keeps it, the writes set their values in it,
// and commit flushes the key once and closes it, so that a record is stored whole or, on the
// file registry, not at all. A failure shows a box, sets the thread's last-error code to the
// registry's status and returns false (or RegistryRead::failed); a save shows one box at most.
#pragma once

#include "platform/Registry.h"

#include <cstdint>

namespace tessaranth {

// The outcome of a read. The accessor signals a value of another type with code 1 and a
// missing buffer with code 4, without a box; a failed read has shown its box.
enum class RegistryRead : int32_t { ok = 0, typeError = 1, missingBuffer = 4, failed = -1 };

class RegistryAccess {
public:
    RegistryAccess() = default;
    // Closes a key that a save left open; on the file registry its uncommitted values are dropped.
    ~RegistryAccess();
    RegistryAccess(const RegistryAccess&) = delete;
    RegistryAccess& operator=(const RegistryAccess&) = delete;

    // Opens the key for the writes of a save, creating it and its parents when missing.
    // Box: "Error creating registry key".
    bool createKey(uint32_t root, const char* path);

    // Set a value in the key that createKey opened. A failure shows no box of its own: the
    // first one is what commit reports.
    bool writeBinary(const char* name, const uint8_t* data, uint32_t size);
    bool writeDword(const char* name, uint32_t value);
    bool writeString(const char* name, const char* text);
    // Ends the save: flushes the key once, unless a write failed, and closes it. False when the
    // record was not stored whole, after one box: "Registry write error" (or the box of
    // createKey). The last-error code holds the first failure's status.
    bool commit();

    // Box on failure: "Registry read error". A value that does not fill the buffer exactly, or
    // does not fit it, fails.
    RegistryRead readBinary(uint32_t root, const char* path, const char* name, uint8_t* buffer, uint32_t& size);
    // Sets value to 0 first; a value of another size than 4 bytes fails.
    RegistryRead readDword(uint32_t root, const char* path, const char* name, uint32_t& value);
    // size passes the buffer size in and the text's size out; a text that does not fit fails.
    // The text read is not terminated.
    RegistryRead readString(uint32_t root, const char* path, const char* name, char* buffer, uint32_t& size);

    // What a failed read does: the read box and the last-error code.
    void reportReadFailure(int32_t status);

private:
    bool write(const char* name, uint32_t type, const uint8_t* data, uint32_t size);
    void closeKey();
    RegistryRead read(uint32_t root, const char* path, const char* name, uint32_t type, uint8_t* buffer,
                      uint32_t& size);
    // A read that fails unless the value has exactly the size passed in.
    RegistryRead readExactly(uint32_t root, const char* path, const char* name, uint32_t type, uint8_t* buffer,
                             uint32_t& size);

    platform::RegistryKey key_ = 0;  // open for a save
    int32_t saveStatus_ = 0;         // the first failure of the save, or errorSuccess
    bool saveReported_ = false;      // its box has been shown
};

} // namespace tessaranth
