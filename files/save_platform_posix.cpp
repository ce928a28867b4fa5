#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/save_platform.h"

std::FILE* OpenNewSaveFile(const char* path, const char* target) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return nullptr;
    struct stat existing;
    if (stat(target, &existing) == 0 && S_ISREG(existing.st_mode)) {
        (void)fchmod(fd, existing.st_mode & 07777);  // a failure only leaves the usual permissions
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        close(fd);
        std::remove(path);
    }
    return stream;
}

bool SyncSaveFile(std::FILE* stream) { return fsync(fileno(stream)) == 0; }

bool MoveSaveFileOver(const char* source, const char* target) { return std::rename(source, target) == 0; }

void RemoveSaveFile(const char* path) { (void)std::remove(path); }
