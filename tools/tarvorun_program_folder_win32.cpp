#include <vector>

#include <windows.h>

#include "files/utf8_path_win32.h"
#include "tarvorun_program_folder.h"

std::string ProgramFolder(const char* argv0, char& separator) {
    separator = '\\';
    // The wide name, as UTF-8 like every path the file code takes.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) break;
        if (length < buffer.size()) return FolderOfPath(Utf8Path(std::wstring(buffer.data(), length).c_str()), true);
        if (buffer.size() >= 32768) break;
        buffer.resize(buffer.size() * 2);  // cut off: try a larger buffer
    }
    return argv0 != nullptr ? FolderOfPath(argv0, true) : std::string();
}
