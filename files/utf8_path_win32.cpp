#include "files/utf8_path_win32.h"

#include <windows.h>

std::wstring WidePath(const char* utf8) {
    if (utf8 == nullptr || utf8[0] == '\0') return std::wstring();
    // -1: the length includes the terminator, so the result is never 0 for a valid string.
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], length) != length) {
        return std::wstring();
    }
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

std::string Utf8Path(const wchar_t* utf16) {
    if (utf16 == nullptr || utf16[0] == L'\0') return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, utf16, -1, &utf8[0], length, nullptr, nullptr) != length) {
        return std::string();
    }
    utf8.resize(static_cast<std::size_t>(length) - 1);
    return utf8;
}
