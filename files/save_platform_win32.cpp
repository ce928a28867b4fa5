#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "files/save_platform.h"

// Windows files carry no permission bits worth copying; the new file is an ordinary one.
std::FILE* OpenNewSaveFile(const char* path, const char* /*target*/) {
    const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        std::remove(path);
    }
    return stream;
}

bool SyncSaveFile(std::FILE* stream) { return _commit(_fileno(stream)) == 0; }

// std::rename will not replace an existing file on Windows.
bool MoveSaveFileOver(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
