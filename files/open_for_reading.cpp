#include "files/open_for_reading.h"

#include <cstdio>

std::FILE* OpenForReading(const char* path) {
    if (path == nullptr) return nullptr;
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) return nullptr;
    const int first = std::getc(stream);
    if (first == EOF && std::ferror(stream)) {
        std::fclose(stream);
        return nullptr;
    }
    if (first != EOF) std::ungetc(first, stream);
    return stream;
}
