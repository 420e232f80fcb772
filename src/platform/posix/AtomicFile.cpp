#include "platform/posix/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tessaranth::platform {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Makes the rename itself durable; a folder that cannot be flushed changes nothing.
void flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

AtomicFile::~AtomicFile() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

int AtomicFile::prepare(std::string_view bytes) {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    std::string name = path_ + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return errno;
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0)
        temporary_ = name;
    else
        ::unlink(name.c_str());
    return error;
}

int AtomicFile::commit() {
    if (temporary_.empty()) return ENOENT;
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return errno;
    temporary_.clear();
    flushFolder(folderOf(path_));
    return 0;
}

int replaceFile(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    const int error = file.prepare(bytes);
    return error ? error : file.commit();
}

} // namespace tessaranth::platform
