// The runner's instruction trace: one line for each instruction, before it
// runs, with the registers it finds.
#pragma once

#include <string>

#include "board/board.h"

// "1800  AF=0044 BC=0000 DE=0000 HL=0000 IX=0000 IY=0000 SP=27F0 T=1234  3E 05        LD A,05h\n":
// PC, the registers, the board's T-state count, the instruction's bytes (the
// first four, then '+' when there are more) and its disassembly, read through
// the CPU's view of memory. The count stands before the disassembly, whose
// comment runs to the end of the line.
std::string TraceLine(const Board& board);
