#include "history/run_record.h"

BoardOutsideMemory OutsideMemory(const Board& board) {
    return BoardOutsideMemory{board.cpu, board.tStates, board.window, board.ppi,
                              board.keys, board.latches, board.run};
}

void PutOutsideMemory(const BoardOutsideMemory& parts, Board& board) {
    board.cpu = parts.cpu;
    board.tStates = parts.tStates;
    board.window = parts.window;
    board.ppi = parts.ppi;
    board.keys = parts.keys;
    board.latches = parts.latches;
    board.run = parts.run;
}
