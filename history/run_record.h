// The board's whole run state at one instruction boundary, as plain records
// that a copy saves whole: what going back in time puts back.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/key_queue.h"

struct RunRecord {
    Board board;  // its hooks belong to the program around it and are never put back
    KeyQueue keys;
    int position;          // PassCursor::Position()
    std::uint64_t passes;  // PassCursor::Passes()
};

// Every part of a Board but its memory and hooks: what a record of one input
// keeps whole (the memory it keeps as changes). A new field of Board goes
// here too, and into the two functions below.
struct BoardOutsideMemory {
    CpuState cpu;
    std::uint64_t tStates;
    MemoryWindow window;
    PpiState ppi;
    KeyMatrix keys;
    DigitLatches latches;
    RunState run;
};

BoardOutsideMemory OutsideMemory(const Board& board);
void PutOutsideMemory(const BoardOutsideMemory& parts, Board& board);
