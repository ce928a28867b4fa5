#include "asm/assembly_hex.h"

#include <memory>
#include <vector>

#include "files/hex_file.h"

int WriteAssemblyHex(const char* path, const AssemblyResult& result, FileError* error) {
    auto memory = std::make_unique<BoardMemory>();
    for (std::size_t i = 0; i < result.memory.size(); ++i) memory->bytes[i] = result.memory[i];
    std::vector<HexFileRange> ranges;
    for (const AsmRange& r : result.ranges) ranges.push_back({r.from, r.to});
    return WriteHexFileRanges(path, *memory, ranges.data(), ranges.size(), error);
}

void LoadAssembly(const AssemblyResult& result, BoardMemory& memory) {
    for (const AsmRange& range : result.ranges) {
        for (std::uint32_t at = range.from; at <= range.to; ++at) memory.bytes[at] = result.memory[at];
    }
}
