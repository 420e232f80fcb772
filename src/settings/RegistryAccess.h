// The registry accessor: each operation opens the key, does one thing and closes the key again.
// A failure shows a box, sets the thread's last-error code to the registry's status and
// returns false (or RegistryRead::failed).
#pragma once

#include <cstdint>

namespace tessaranth {

// The outcome of a read. The accessor signals a value of another type with code 1 and a
// missing buffer with code 4, without a box; a failed read has shown its box.
enum class RegistryRead : int32_t { ok = 0, typeError = 1, missingBuffer = 4, failed = -1 };

class RegistryAccess {
public:
    // Creates the key and its parents when missing. Box: "Error creating registry key".
    bool createKey(uint32_t root, const char* path);

    // Box on failure: "Registry write error".
    bool writeBinary(uint32_t root, const char* path, const char* name, const uint8_t* data, uint32_t size);
    bool writeDword(uint32_t root, const char* path, const char* name, uint32_t value);
    bool writeString(uint32_t root, const char* path, const char* name, const char* text);

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
    bool write(uint32_t root, const char* path, const char* name, uint32_t type, const uint8_t* data, uint32_t size);
    RegistryRead read(uint32_t root, const char* path, const char* name, uint32_t type, uint8_t* buffer,
                      uint32_t& size);
    // A read that fails unless the value has exactly the size passed in.
    RegistryRead readExactly(uint32_t root, const char* path, const char* name, uint32_t type, uint8_t* buffer,
                             uint32_t& size);
};

} // namespace tessaranth
