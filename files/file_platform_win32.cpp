#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "files/file_platform.h"
#include "files/utf8_path_win32.h"

namespace {

// The errno value that names a Windows error best, so that callers give one kind of reason.
int ErrnoFromWindows(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_WRITE_PROTECT: return EROFS;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
        case ERROR_NOT_SAME_DEVICE: return EXDEV;
        default: return EIO;
    }
}

void SetErrnoFromLastError() { errno = ErrnoFromWindows(GetLastError()); }

// The UTF-16 form of path; empty (errno ENOENT) for a path that is not valid UTF-8.
std::wstring WideOrFail(const char* path) {
    std::wstring wide = WidePath(path);
    if (wide.empty()) errno = ENOENT;
    return wide;
}

// The name of the file that handle has open, every link followed, without the \\?\ prefix that
// the system puts before a drive letter.
std::string FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length + 1);
    }
    const std::wstring prefix = L"\\\\?\\";
    if (path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size() + 2 &&
        path[prefix.size() + 1] == L':') {
        path.erase(0, prefix.size());
    }
    return Utf8Path(path.c_str());
}

// What lies at the name that handle has open: a device, a folder or a file, and whether the user
// may write it (a read-only file may not be replaced by a save).
void DescribeOpenFile(HANDLE handle, SaveTarget& target) {
    target.kind = SaveTargetKind::Other;
    target.writeError = 0;
    if (GetFileType(handle) != FILE_TYPE_DISK) return;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        target.kind = SaveTargetKind::Folder;
        return;
    }
    target.kind = SaveTargetKind::RegularFile;
    target.writeError = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? EACCES : 0;
}

}  // namespace

// Opening the name follows every symbolic link (a reparse point) to the file it leads to, and the
// name of the opened file is then the one to replace. It is asked for every file, not only for a
// name that says it is a link: Wine shows the symbolic links of its host as plain files. A link
// whose file is missing cannot be opened, and is refused rather than replaced by a file.
bool FindSaveTarget(const char* path, SaveTarget& target) {
    const std::wstring wide = WideOrFail(path);
    if (wide.empty()) return false;
    const HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const bool nameIsFree = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        if (nameIsFree && GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
            target = {path, SaveTargetKind::Missing, 0};
            return true;
        }
        errno = ErrnoFromWindows(code);
        return false;
    }
    target.path = path;
    DescribeOpenFile(handle, target);
    if (target.kind != SaveTargetKind::Other) {
        target.path = FinalPathOf(handle);
        if (target.path.empty()) {
            SetErrnoFromLastError();
            CloseHandle(handle);
            return false;
        }
    }
    CloseHandle(handle);
    return true;
}

// Windows files carry no permission bits worth copying; the new file is an ordinary one.
std::FILE* OpenNewSaveFile(const char* path, const char* /*permissionsFrom*/) {
    const std::wstring wide = WideOrFail(path);
    if (wide.empty()) return nullptr;
    const int fd = _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        _close(fd);
        _wremove(wide.c_str());
        errno = reason;
    }
    return stream;
}

std::FILE* OpenDeviceForWriting(const char* path) {
    const std::wstring wide = WideOrFail(path);
    if (wide.empty()) return nullptr;
    const int fd = _wopen(wide.c_str(), _O_WRONLY | _O_BINARY);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        _close(fd);
        errno = reason;
    }
    return stream;
}

bool TruncateSaveFile(std::FILE* stream, std::size_t length) {
    return _chsize_s(_fileno(stream), static_cast<__int64>(length)) == 0;
}

// A device (NUL, a console) has nothing to push to a disk.
bool SyncSaveFile(std::FILE* stream) {
    const int fd = _fileno(stream);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) return true;
    return _commit(fd) == 0;
}

void RemoveSaveFile(const char* path) {
    const int reason = errno;
    const std::wstring wide = WidePath(path);
    if (!wide.empty()) (void)_wremove(wide.c_str());
    errno = reason;
}

// std::rename will not replace an existing file on Windows.
bool MoveSaveFileOver(const char* source, const char* target) {
    const std::wstring wideSource = WideOrFail(source);
    const std::wstring wideTarget = WideOrFail(target);
    if (wideSource.empty() || wideTarget.empty()) return false;
    if (MoveFileExW(wideSource.c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    SetErrnoFromLastError();
    return false;
}

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
