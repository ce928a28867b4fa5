#include "history/input_record.h"

void NoteMemoryChanges(const BoardMemory& before, const BoardMemory& after, InputRecord& record) {
    record.patches.clear();
    record.bytes.clear();
    std::uint32_t a = 0;
    while (a < 0x10000u) {
        if (before.bytes[a] == after.bytes[a]) {
            ++a;
            continue;
        }
        const std::uint32_t start = a;
        while (a < 0x10000u && before.bytes[a] != after.bytes[a]) record.bytes.push_back(after.bytes[a++]);
        record.patches.push_back(MemoryPatch{start, a - start});
    }
}

void PutMemoryChanges(const InputRecord& record, BoardMemory& memory) {
    std::size_t next = 0;
    for (const MemoryPatch& patch : record.patches) {
        for (std::uint32_t i = 0; i < patch.length; ++i) memory.bytes[patch.address + i] = record.bytes[next++];
    }
}

bool ChangesByte(const InputRecord& record, std::uint16_t address) {
    for (const MemoryPatch& patch : record.patches) {
        if (address >= patch.address && address - patch.address < patch.length) return true;
    }
    return false;
}

std::size_t BytesHeld(const InputRecord& record) {
    return sizeof record + record.patches.capacity() * sizeof(MemoryPatch) + record.bytes.capacity();
}
