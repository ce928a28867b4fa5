#include <cstdint>

#include "files/address_range.h"
#include "files/binary_file.h"
#include "files/file_error.h"
#include "files/safe_save.h"

int WriteBinaryFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to,
                    FileError* error) {
    if (!IsFileAddressRange(from, to)) return -2;
    SafeSave save;
    if (!BeginSafeSave(save, path)) return ReportSaveFailure(save, error);
    SaveBytes(save, memory.bytes + from, to - from);
    if (FinishSafeSave(save) != 0) return ReportSaveFailure(save, error);
    return static_cast<int>(to - from);
}
