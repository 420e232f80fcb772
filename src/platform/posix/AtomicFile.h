// Replaces a file's contents so that a crash or a full disk leaves either the old file or the
// new one, never a mixture: the bytes go to a temporary file in the same folder, are flushed to
// the disk, and the temporary file is then renamed over the old one.
#pragma once

#include <string>
#include <string_view>

namespace tessaranth::platform {

class AtomicFile {
public:
    explicit AtomicFile(std::string path) : path_(std::move(path)) {}
    ~AtomicFile();  // removes a temporary file that was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes and flushes the temporary file. Returns 0 or the errno of the failure.
    int prepare(std::string_view bytes);
    // Renames the prepared temporary file over the target. Returns 0 or an errno.
    int commit();

private:
    std::string path_;
    std::string temporary_;
};

// prepare, then commit; the temporary file is gone either way.
int replaceFile(const std::string& path, std::string_view bytes);

} // namespace tessaranth::platform
