#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "files/file_platform.h"

namespace {

// As many links as Linux follows in one path before it reports a loop.
constexpr int kLinkLimit = 40;

// The text of the symbolic link at path; false (errno set) when it cannot be read.
bool ReadLinkText(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        if (buffer.size() >= 65536) {
            errno = ENAMETOOLONG;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

SaveTargetKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return SaveTargetKind::RegularFile;
    if (S_ISDIR(mode)) return SaveTargetKind::Folder;
    return SaveTargetKind::Other;
}

}  // namespace

// The links are followed one by one rather than with realpath, which refuses a link to a name that
// does not exist yet; a save creates that name, as the shell's > does.
bool FindSaveTarget(const char* path, SaveTarget& target) {
    std::string current = path;
    for (int hop = 0; hop <= kLinkLimit; ++hop) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) return false;
            target = {current, SaveTargetKind::Missing, 0};
            return true;
        }
        if (!S_ISLNK(info.st_mode)) {
            const SaveTargetKind kind = KindOf(info.st_mode);
            // A read-only file system says EROFS here, a file the user may not write EACCES.
            const bool mayWrite = kind != SaveTargetKind::RegularFile || access(current.c_str(), W_OK) == 0;
            target = {current, kind, mayWrite ? 0 : errno};
            return true;
        }
        std::string link;
        if (!ReadLinkText(current, link)) return false;
        if (link.empty()) {
            errno = ENOENT;
            return false;
        }
        // A relative link names a file in the folder that holds the link.
        const std::size_t slash = current.rfind('/');
        if (link[0] == '/' || slash == std::string::npos) {
            current = link;
        } else {
            current = current.substr(0, slash + 1) + link;
        }
    }
    errno = ELOOP;
    return false;
}

std::FILE* OpenNewSaveFile(const char* path, const char* permissionsFrom) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return nullptr;
    struct stat existing;
    if (stat(permissionsFrom, &existing) == 0 && S_ISREG(existing.st_mode)) {
        (void)fchmod(fd, existing.st_mode & 07777);  // a failure only leaves the usual permissions
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        close(fd);
        std::remove(path);
        errno = reason;
    }
    return stream;
}

std::FILE* OpenDeviceForWriting(const char* path) {
    const int fd = open(path, O_WRONLY | O_NOCTTY);
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        close(fd);
        errno = reason;
    }
    return stream;
}

bool TruncateSaveFile(std::FILE* stream, std::size_t length) {
    return ftruncate(fileno(stream), static_cast<off_t>(length)) == 0;
}

// A FIFO or a character device has nothing to push to a disk and says so with EINVAL.
bool SyncSaveFile(std::FILE* stream) { return fsync(fileno(stream)) == 0 || errno == EINVAL; }

void RemoveSaveFile(const char* path) {
    const int reason = errno;
    (void)std::remove(path);
    errno = reason;
}

bool MoveSaveFileOver(const char* source, const char* target) { return std::rename(source, target) == 0; }

// These systems take UTF-8 paths as they are.
std::FILE* OpenPathStream(const char* path, const char* mode) { return std::fopen(path, mode); }
