#include <vector>

#include <windows.h>

#include "tarvorun_program_folder.h"

std::string ProgramFolder(const char* argv0, char& separator) {
    separator = '\\';
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) break;
        if (length < buffer.size()) return FolderOfPath(std::string(buffer.data(), length), true);
        if (buffer.size() >= 32768) break;
        buffer.resize(buffer.size() * 2);  // cut off: try a larger buffer
    }
    return argv0 != nullptr ? FolderOfPath(argv0, true) : std::string();
}
