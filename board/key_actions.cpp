#include "board/key_actions.h"

#include "board/board.h"

void PressKey(Board& board, int gridRow, int gridColumn) {
    const KeyCell* key = KeyAtGrid(gridRow, gridColumn);
    if (key == nullptr) return;
    switch (key->kind) {
        case KeyKind::Matrix: board.keys.pressed[key->matrixRow][key->matrixColumn] = 1; break;
        case KeyKind::Reset: ResetCpu(board.cpu); break;  // memory, 8255 and keys stay
        case KeyKind::Monitor: {
            BoardCpu access(board);
            AcceptNmi(board.cpu, access.bus, board.tStates);
            break;
        }
        case KeyKind::Interrupt: {
            BoardCpu access(board);
            AcceptInterrupt(board.cpu, access.bus, 0x00, board.tStates);  // lost if interrupts are off
            break;
        }
        case KeyKind::User: board.keys.userKeyPending = 1; break;
        case KeyKind::TapeWrite: RunTapeCommand(board.hooks, TapeCommand::SaveHexFile); break;
        case KeyKind::TapeRead: RunTapeCommand(board.hooks, TapeCommand::OpenHexFile); break;
    }
}
