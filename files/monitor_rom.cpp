#include "files/monitor_rom.h"

#include <cerrno>
#include <cstdio>

#include "files/open_for_reading.h"

bool MonitorRomPath(const char* programFolder, char separator, char* path, std::size_t capacity) {
    if (path == nullptr || capacity == 0) return false;
    path[0] = '\0';
    if (programFolder == nullptr) return false;
    // Count no further than one character past the limit.
    std::size_t folderLength = 0;
    while (folderLength <= kMonitorRomFolderLimit && programFolder[folderLength] != '\0') ++folderLength;
    if (folderLength > kMonitorRomFolderLimit) return false;
    const int length = std::snprintf(path, capacity, "%s%s%c%s", programFolder, kMonitorRomFolder, separator, kMonitorRomFile);
    if (length < 0 || static_cast<std::size_t>(length) >= capacity) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool LoadMonitorRom(const char* programFolder, char separator, BoardMemory& memory, FileError* error) {
    if (error != nullptr) *error = FileError{};
    char path[kMonitorRomPathCapacity];
    if (!MonitorRomPath(programFolder, separator, path, sizeof path)) return false;
    std::FILE* image = OpenForReading(path);
    if (image == nullptr) {
        if (error != nullptr) error->systemError = errno;
        return false;
    }
    // A short image fills only the beginning; a failing read keeps whatever arrived.
    (void)std::fread(memory.bytes, 1, kMonitorRomSize, image);
    std::fclose(image);
    return true;
}
