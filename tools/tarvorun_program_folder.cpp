#include "tarvorun_program_folder.h"

std::string FolderOfPath(const std::string& path, bool backslash) {
    const std::size_t last = path.find_last_of(backslash ? "/\\" : "/");
    if (last == std::string::npos) return std::string();
    return path.substr(0, last + 1);
}
