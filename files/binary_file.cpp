#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "files/address_range.h"
#include "files/binary_file.h"
#include "files/file_error.h"
#include "files/open_for_reading.h"
#include "files/safe_save.h"

namespace {

int Failed(FileError* error) {
    if (error != nullptr) *error = FileError{errno, 0, nullptr};
    return -1;
}

}  // namespace

int ReadBinaryFile(const char* path, BoardMemory& memory, std::uint32_t from, std::uint32_t to, FileError* error) {
    if (!IsFileAddressRange(from, to)) return -2;
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) return Failed(error);
    // Read byte-wise so that a short file leaves exactly its own bytes in memory. An empty range
    // counts as not filled. A read error is no short file: the load fails (the bytes that arrived
    // stay).
    // Kept on purpose: the range stops before To, unlike Save hex file.
    const std::size_t wanted = to - from;
    errno = 0;
    const std::size_t got = std::fread(memory.bytes + from, 1, wanted, stream);
    const bool readFailed = std::ferror(stream) != 0;
    const int reason = errno;
    std::fclose(stream);
    errno = reason;
    if (readFailed) return Failed(error);
    return wanted > 0 && got == wanted ? 1 : 0;
}

int WriteBinaryFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                    FileError* error) {
    if (!IsFileAddressRange(from, to)) return -2;
    SafeSave save;
    if (!BeginSafeSave(save, path)) return ReportSaveFailure(save, error);
    SaveBytes(save, memory.bytes + from, to - from);
    if (FinishSafeSave(save) != 0) return ReportSaveFailure(save, error);
    return static_cast<int>(to - from);
}
