#include <vector>

#include <unistd.h>

#include "tarvorun_program_folder.h"

std::string ProgramFolder(const char* argv0, char& separator) {
    separator = '/';
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) break;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return FolderOfPath(std::string(buffer.data(), static_cast<std::size_t>(length)), false);
        }
        if (buffer.size() >= (1u << 20)) break;
        buffer.resize(buffer.size() * 2);  // the path may have been cut off
    }
    // No /proc: the name the program was started by, if it holds a folder.
    return argv0 != nullptr ? FolderOfPath(argv0, false) : std::string();
}
