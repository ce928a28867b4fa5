#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "files/save_platform.h"
#include "files/utf8_path_win32.h"

// Windows files carry no permission bits worth copying; the new file is an ordinary one.
std::FILE* OpenNewSaveFile(const char* path, const char* /*target*/) {
    const std::wstring widePath = WidePath(path);
    if (widePath.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    const int fd = _wopen(widePath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        _wremove(widePath.c_str());
    }
    return stream;
}

bool SyncSaveFile(std::FILE* stream) { return _commit(_fileno(stream)) == 0; }

void RemoveSaveFile(const char* path) {
    const std::wstring widePath = WidePath(path);
    if (!widePath.empty()) (void)_wremove(widePath.c_str());
}

// std::rename will not replace an existing file on Windows.
bool MoveSaveFileOver(const char* source, const char* target) {
    const std::wstring wideSource = WidePath(source);
    const std::wstring wideTarget = WidePath(target);
    if (wideSource.empty() || wideTarget.empty()) return false;
    return MoveFileExW(wideSource.c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
