// Opening a file by its path, the one call of a load that differs between Windows and the other
// systems: paths are UTF-8 everywhere, and Windows needs them as UTF-16. One implementation file
// is built: open_platform_win32.cpp on Windows, open_platform_posix.cpp elsewhere.
#pragma once

#include <cstdio>

// std::fopen for a UTF-8 path; nullptr (errno set where the system sets it) when it cannot be opened.
std::FILE* OpenPathStream(const char* path, const char* mode);
