// The file calls of loads and saves that differ between Windows and the other systems; the rest of
// the file code is plain C++. Paths are UTF-8 on every system, and Windows needs them as UTF-16.
// Failures leave the reason in errno. One implementation file is built: file_platform_win32.cpp on
// Windows, file_platform_posix.cpp elsewhere.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

enum class SaveTargetKind {
    Missing,  // nothing of that name yet
    RegularFile,
    Folder,
    Other,  // a FIFO, a device: something that takes bytes but cannot be replaced by a file
};

struct SaveTarget {
    std::string path;  // the name the bytes go to: the given path with every symbolic link followed
    SaveTargetKind kind;
    int writeError;  // RegularFile: 0 when the user may write it (root may write anything), else errno
};

// Follows the symbolic links of path to the name a save writes, and says what lies there. false
// (errno set) when that cannot be found out: a loop of links, a folder the user may not search.
bool FindSaveTarget(const char* path, SaveTarget& target);

// Creates path as a new file for binary writing; fails when a file of that name exists (errno is
// then EEXIST). On systems with permission bits the new file takes those of permissionsFrom if
// that is an existing regular file.
std::FILE* OpenNewSaveFile(const char* path, const char* permissionsFrom);

// Opens an existing FIFO or device for writing, without creating or truncating anything.
std::FILE* OpenDeviceForWriting(const char* path);

// Cuts the file open in stream (flushed already) to length bytes.
bool TruncateSaveFile(std::FILE* stream, std::size_t length);

// Pushes what the system holds of the file to the disk. The stream must be flushed already.
bool SyncSaveFile(std::FILE* stream);

// Removes the file at path (a temporary file that is not wanted).
void RemoveSaveFile(const char* path);

// Moves source over target, replacing target if it exists. false: both are as they were.
bool MoveSaveFileOver(const char* source, const char* target);

// std::fopen for a UTF-8 path; nullptr (errno set where the system sets it) when it cannot be opened.
std::FILE* OpenPathStream(const char* path, const char* mode);
