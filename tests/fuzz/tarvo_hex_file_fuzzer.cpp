// Feeds arbitrary bytes to ReadHexFile as a whole file, through one file that is rewritten for
// every input: a memory file where the system has them, else a temporary file. A file that exists
// can only load (0) or hold an invalid line (-2), which the load names: its number and the reason.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "files/hex_file.h"

namespace {

char filePath[4096];
int fileDescriptor = -1;
BoardMemory memory;

void RemoveTemporaryFile() { unlink(filePath); }

// A memory file reached by its /proc path spares the disk a write per input.
bool OpenMemoryFile() {
    fileDescriptor = memfd_create("tarvo-hex-fuzz", 0);
    if (fileDescriptor < 0) return false;
    std::snprintf(filePath, sizeof filePath, "/proc/self/fd/%d", fileDescriptor);
    if (access(filePath, R_OK) == 0) return true;
    close(fileDescriptor);
    return false;
}

void OpenTemporaryFile() {
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    const int length = std::snprintf(filePath, sizeof filePath, "%s/tarvo-hex-fuzz-XXXXXX", folder);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof filePath) std::abort();
    fileDescriptor = mkstemp(filePath);
    if (fileDescriptor < 0) {
        std::perror("tarvo_hex_file_fuzzer: mkstemp");
        std::abort();
    }
    std::atexit(RemoveTemporaryFile);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!OpenMemoryFile()) OpenTemporaryFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(fileDescriptor, 0) != 0) std::abort();
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(fileDescriptor, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0) std::abort();
        written += static_cast<std::size_t>(n);
    }
    FileError error;
    const int result = ReadHexFile(filePath, memory, &error);
    if (result != 0 && result != -2) {
        std::fprintf(stderr, "ReadHexFile gave %d for a file that exists\n", result);
        std::abort();
    }
    if (result == -2 && (error.line == 0 || error.line > size + 1 || error.reason == nullptr)) {
        std::fprintf(stderr, "an invalid file reported line %lu, reason %s\n", error.line,
                     error.reason == nullptr ? "(none)" : error.reason);
        std::abort();
    }
    return 0;
}
