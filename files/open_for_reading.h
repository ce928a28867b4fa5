// Opening a file that a load reads in binary mode.
#pragma once

#include <cstdio>

// Opens path (UTF-8 on every system) for binary reading, or gives nullptr, with errno saying why,
// when it cannot be opened or not be read at all. Some systems open a folder like a file and only
// fail its first read; such a path counts as one that cannot be opened, as it does on Windows.
std::FILE* OpenForReading(const char* path);
