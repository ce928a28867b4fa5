// The monitor ROM image: raw bytes in tarvo/tarvo-rom.bin beside the program, loaded at 0x0000.
#pragma once

#include <cstddef>

#include "cpu/memory_bus.h"
#include "files/file_error.h"

// Longest program folder taken: a drive of two characters and a directory of 255, as the Windows
// program keeps them.
constexpr std::size_t kMonitorRomFolderLimit = 2 + 255;
constexpr std::size_t kMonitorRomPathCapacity = 512;
constexpr std::size_t kMonitorRomSize = 4096;
// Where the image lies in the program's folder: kMonitorRomFolder, a separator, kMonitorRomFile.
constexpr char kMonitorRomFolder[] = "tarvo";
constexpr char kMonitorRomFile[] = "tarvo-rom.bin";

// programFolder ends with its separator ("C:\\emu\\" on Windows, "/opt/emu/" elsewhere). Writes
// programFolder + "tarvo" + separator + "tarvo-rom.bin" into path; false (path left empty when it
// has room) if the folder is missing, longer than kMonitorRomFolderLimit, or the path does not fit.
bool MonitorRomPath(const char* programFolder, char separator, char* path, std::size_t capacity);

// Reads at most the image's first 4096 bytes to 0x0000; a shorter image fills only the beginning
// and the rest keeps its bytes. false: the image was not found (the caller tells the user "There
// was an error opening the Tarvo files!"; error, when given, has the system's reason, none for a
// folder that is too long); memory is then unchanged.
bool LoadMonitorRom(const char* programFolder, char separator, BoardMemory& memory, FileError* error = nullptr);
