#include "board/board.h"

void SetUpBoard(Board& board) {
    PpiReset(board);
    board.window.romEnd = 0x0800;
    board.window.ramEnd = 0xFFFF;
}

void StartBoard(Board& board) {
    ResetCpu(board.cpu);
    board.run.running = true;
}
