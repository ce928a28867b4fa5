#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "files/address_range.h"
#include "files/binary_file.h"
#include "files/open_for_reading.h"

int ReadBinaryFile(const char* path, BoardMemory& memory, std::uint32_t from, std::uint32_t to) {
    if (!IsFileAddressRange(from, to)) return -2;
    std::FILE* stream = OpenForReading(path);
    if (stream == nullptr) return -1;
    // Read byte-wise so that a short file leaves exactly its own bytes in memory. An empty range
    // counts as not filled.
    const std::size_t wanted = to - from;
    const std::size_t got = std::fread(memory.bytes + from, 1, wanted, stream);
    std::fclose(stream);
    return wanted > 0 && got == wanted ? 1 : 0;
}
