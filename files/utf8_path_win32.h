// Paths in the file code are UTF-8 on every system. Windows takes them as UTF-16 through its wide
// calls (_wfopen, CreateFileW, MoveFileExW, ...); these convert between the two.
#pragma once

#include <string>

// The UTF-16 form of a UTF-8 path; empty when path is null, empty or not valid UTF-8, so that the
// wide call given it fails instead of opening some other file.
std::wstring WidePath(const char* utf8);

// The UTF-8 form of a UTF-16 path; empty when path is null, empty or not valid UTF-16.
std::string Utf8Path(const wchar_t* utf16);
