// SPDX-License-Identifier: GPL-2.0-or-later
// Crash-safe saving on Windows: a temporary file beside the target, written, flushed to the
// disk and moved over the target with a move that returns only once it is on the disk. A
// temporary file that a killed save left behind is removed by the next save of the target.
#include "platform/ReplaceFile.h"

#include "platform/Errors.h"

#include <windows.h>

#include <string>

namespace tessaranth::platform {

namespace {

constexpr int nameAttempts = 100;

bool processGone(unsigned long process) {
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    if (!handle) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
    CloseHandle(handle);
    return ended;
}

// Removes the temporary files of the target's earlier saves whose processes have ended.
void removeLeftovers(const std::string& target) {
    const std::size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        unsigned long process = 0;
        if (isTemporaryNameFor(target, found.cFileName, 255, MAX_PATH - 1, process) && processGone(process))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Creates a file beside the target that nothing uses yet, such as "a.tzn.4711-0.tmp".
HANDLE createTemporary(const std::string& target, std::string& name) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        name = temporaryPathFor(target, GetCurrentProcessId(), static_cast<unsigned long>(InterlockedIncrement(&counter)),
                                255, MAX_PATH - 1);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000u ? 0x10000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Writes and flushes the temporary file and closes it; the last error tells what failed first.
bool fill(HANDLE file, const unsigned char* data, std::size_t size) {
    const bool filled = writeAll(file, data, size) && FlushFileBuffers(file);
    const DWORD error = GetLastError();
    const bool closed = CloseHandle(file);
    if (!filled) SetLastError(error);
    return filled && closed;
}

} // namespace

int32_t replaceFile(const char* path, const void* data, std::size_t size) {
    if (!path || !*path || (!data && size)) return errorInvalidParameter;
    const std::string target = path;
    removeLeftovers(target);
    std::string temporary;
    HANDLE file = createTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return static_cast<int32_t>(GetLastError());
    if (fill(file, static_cast<const unsigned char*>(data), size) &&
        MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return errorSuccess;
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return error == ERROR_SUCCESS ? errorWriteFault : static_cast<int32_t>(error);
}

} // namespace tessaranth::platform
