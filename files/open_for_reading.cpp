#include "files/open_for_reading.h"

#include <cstdio>

#include "files/open_platform.h"

std::FILE* OpenForReading(const char* path) {
    if (path == nullptr) return nullptr;
    std::FILE* stream = OpenPathStream(path, "rb");
    if (stream == nullptr) return nullptr;
    const int first = std::getc(stream);
    if (first == EOF && std::ferror(stream)) {
        std::fclose(stream);
        return nullptr;
    }
    if (first != EOF) std::ungetc(first, stream);
    return stream;
}
