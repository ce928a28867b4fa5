// The steps of a safe save that differ between Windows and the other systems; the rest of the
// file code is plain C++. Paths are UTF-8 on every system. One implementation file is built:
// save_platform_win32.cpp on Windows, save_platform_posix.cpp elsewhere.
#pragma once

#include <cstdio>

// Creates path as a new file for binary writing; fails when a file of that name exists (errno is
// then EEXIST). On systems with permission bits the new file takes those of target if it exists.
std::FILE* OpenNewSaveFile(const char* path, const char* target);

// Pushes what the system holds of the file to the disk. The stream must be flushed already.
bool SyncSaveFile(std::FILE* stream);

// Removes the file at path (a temporary file that is not wanted).
void RemoveSaveFile(const char* path);

// Moves source over target, replacing target if it exists. false: both are as they were.
bool MoveSaveFileOver(const char* source, const char* target);
