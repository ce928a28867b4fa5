#include "board/board.h"

#include <algorithm>
#include <iterator>

void SetUpBoard(Board& board) {
    PpiReset(board);
    board.window.romEnd = 0x0800;
    board.window.ramEnd = 0xFFFF;
}

void StartBoard(Board& board) {
    ResetCpu(board.cpu);
    board.run.running = true;
}

void ClearBoard(Board& board) {
    board.cpu = CpuState{};
    std::fill(std::begin(board.memory.bytes), std::end(board.memory.bytes), std::uint8_t{0});
    board.window = MemoryWindow{};
    board.ppi = PpiState{};
    board.keys = KeyMatrix{};
    board.latches = DigitLatches{};
    board.run = RunState{};
}
