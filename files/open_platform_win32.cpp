#include <cerrno>
#include <cstdio>
#include <string>

#include "files/open_platform.h"
#include "files/utf8_path_win32.h"

// The ANSI fopen would turn every character outside the code page into '?'.
std::FILE* OpenPathStream(const char* path, const char* mode) {
    const std::wstring widePath = WidePath(path);
    const std::wstring wideMode = WidePath(mode);
    if (widePath.empty() || wideMode.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}
