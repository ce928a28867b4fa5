// One input from outside the CPU (a key, a load, an edit, power off and on),
// kept as what it left behind: the run state outside memory whole, and the
// bytes of memory it changed. Replaying it puts exactly that back, whatever
// the input was, so a replay never reads a file or asks the user again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "history/run_record.h"

// A run of changed bytes: length bytes from address on, taken in order from
// the record's bytes.
struct MemoryPatch {
    std::uint32_t address;
    std::uint32_t length;
};

struct InputRecord {
    std::uint64_t at;  // instructions run when it came
    BoardOutsideMemory board;
    KeyQueue keys;
    int position;
    std::uint64_t passes;
    std::vector<MemoryPatch> patches;
    std::vector<std::uint8_t> bytes;
};

// Fills the record's patches and bytes with the bytes that differ from before to after.
void NoteMemoryChanges(const BoardMemory& before, const BoardMemory& after, InputRecord& record);
void PutMemoryChanges(const InputRecord& record, BoardMemory& memory);
bool ChangesByte(const InputRecord& record, std::uint16_t address);
// What the record holds in memory, its own size included.
std::size_t BytesHeld(const InputRecord& record);
