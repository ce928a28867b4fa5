#include <cstdio>

#include "files/open_platform.h"

// These systems take UTF-8 paths as they are.
std::FILE* OpenPathStream(const char* path, const char* mode) { return std::fopen(path, mode); }
