#include "files/open_for_reading.h"

#include <cerrno>
#include <cstdio>

#include "files/file_platform.h"

std::FILE* OpenForReading(const char* path) {
    if (path == nullptr) {
        errno = ENOENT;
        return nullptr;
    }
    errno = 0;
    std::FILE* stream = OpenPathStream(path, "rb");
    if (stream == nullptr) return nullptr;
    const int first = std::getc(stream);
    if (first == EOF && std::ferror(stream)) {
        const int reason = errno;
        std::fclose(stream);
        errno = reason;
        return nullptr;
    }
    if (first != EOF) std::ungetc(first, stream);
    return stream;
}
