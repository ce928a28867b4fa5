#include <cstdint>

#include "files/address_range.h"
#include "files/binary_file.h"
#include "files/safe_save.h"

int WriteBinaryFile(const char* path, const BoardMemory& memory, std::uint32_t from, std::uint32_t to) {
    if (!IsFileAddressRange(from, to)) return -2;
    SafeSave save;
    if (!BeginSafeSave(save, path)) return -1;
    SaveBytes(save, memory.bytes + from, to - from);
    if (FinishSafeSave(save) != 0) return -1;
    return static_cast<int>(to - from);
}
