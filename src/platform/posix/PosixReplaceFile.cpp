// SPDX-License-Identifier: GPL-2.0-or-later
// Crash-safe saving on POSIX systems. Where the file system can (Linux's O_TMPFILE), the bytes
// go to an unnamed file in the target's folder, which vanishes by itself if the process dies
// before it is complete; it gets a name only for the moment before the rename. Elsewhere the
// temporary file is named from the start. A named temporary file that a killed save left behind
// is removed by the next save of the same file.
#include "platform/ReplaceFile.h"

#include "platform/Errors.h"
#include "platform/posix/PosixStatus.h"
#include "platform/posix/UnnamedFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaranth::platform {

namespace {

constexpr int nameAttempts = 100;

std::atomic<bool> unnamedFilesAllowed{true};

// A symbolic link stays a link: the file it leads to is the one replaced.
std::string targetOf(const char* path) {
    struct stat status {};
    if (lstat(path, &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char* resolved = realpath(path, nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Gives the temporary file a name beside the target that nothing uses yet, such as
// "a.tzn.4711-0.tmp"; create(name) returns 0 or an errno, EEXIST meaning "try another".
template <typename Create>
int claimName(const std::string& target, std::string& name, Create create) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        std::string candidate =
            temporaryPathFor(target, static_cast<unsigned long>(getpid()), counter++, NAME_MAX, PATH_MAX - 1);
        const int error = create(candidate);
        if (error == 0) name = std::move(candidate);
        if (error != EEXIST) return error;
    }
    return EEXIST;
}

int errnoUnless(bool succeeded) { return succeeded ? 0 : errno; }

bool processGone(unsigned long process) {
    if (process == 0 || process > static_cast<unsigned long>(INT_MAX)) return false;
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of the target's earlier saves whose processes have ended: saves
// that were killed before their rename. A save still running elsewhere keeps its file.
void removeLeftovers(const std::string& target) {
    const std::string folder = folderOf(target);
    DIR* entries = ::opendir(folder.c_str());
    if (!entries) return;
    while (const dirent* entry = ::readdir(entries)) {
        unsigned long process = 0;
        if (isTemporaryNameFor(target, entry->d_name, NAME_MAX, PATH_MAX - 1, process) && processGone(process))
            ::unlinkat(::dirfd(entries), entry->d_name, 0);
    }
    ::closedir(entries);
}

// Makes the rename itself durable. A folder that cannot be opened or a file system that cannot
// flush folders is no failure; a flush that fails is.
int flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    int error = errnoUnless(::fsync(fd) == 0);
    ::close(fd);
    return error == EINVAL || error == EROFS ? 0 : error;
}

// The file that becomes the target. Whatever is left of it when it goes out of scope, an open
// descriptor or a name in the folder, is removed. The descriptor stays open until then: the
// flush has reported every error a close could, and an unnamed file needs it to get a name,
// which it keeps only for the moment until the rename.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string target) : target_(std::move(target)) {}
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int create() {
        int error = openUnnamed();
        if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL)
            error = claimName(target_, name_, [this](const std::string& name) {
                fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                return errnoUnless(fd_ >= 0);
            });
        if (error == 0) keepMode();
        return error;
    }

    int write(const unsigned char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(fd_, data, size);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return written < 0 ? errno : EIO;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return 0;
    }

    int flush() { return errnoUnless(::fsync(fd_) == 0); }

    // An unnamed file gets its name now, while its descriptor is open.
    int name() {
        if (!name_.empty()) return 0;
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
        return claimName(target_, name_, [&self](const std::string& name) {
            return errnoUnless(::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0);
        });
    }

    int moveOverTarget() {
        if (::rename(name_.c_str(), target_.c_str()) != 0) return errno;
        name_.clear();
        return flushFolder(folderOf(target_));
    }

private:
    // EOPNOTSUPP, EISDIR or EINVAL: the system or the file system has no unnamed files.
    int openUnnamed() {
#ifdef O_TMPFILE
        if (!unnamedFilesAllowed) return EOPNOTSUPP;
        fd_ = ::open(folderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        return errnoUnless(fd_ >= 0);
#else
        return EOPNOTSUPP;
#endif
    }

    // A file that is replaced keeps its permissions where the file system has any; a new one
    // gets the usual ones.
    void keepMode() {
        struct stat status {};
        if (::stat(target_.c_str(), &status) == 0 && S_ISREG(status.st_mode)) ::fchmod(fd_, status.st_mode & 07777);
    }

    std::string target_;
    std::string name_;
    int fd_ = -1;
};

int replace(const std::string& target, const unsigned char* data, std::size_t size) {
    removeLeftovers(target);
    TemporaryFile file(target);
    int error = file.create();
    if (error == 0) error = file.write(data, size);
    if (error == 0) error = file.flush();
    if (error == 0) error = file.name();
    if (error == 0) error = file.moveOverTarget();
    return error;
}

} // namespace

void allowUnnamedFiles(bool allowed) { unnamedFilesAllowed = allowed; }

int32_t replaceFile(const char* path, const void* data, std::size_t size) {
    if (!path || !*path || (!data && size)) return errorInvalidParameter;
    return statusOfErrno(replace(targetOf(path), static_cast<const unsigned char*>(data), size));
}

} // namespace tessaranth::platform
