#include "board/board.h"

std::uint8_t BoardPorts::BoardPortIn(std::uint16_t port) {
    // The whole number is compared: 0004h-00FFh are not mirrors of the 8255.
    if (port <= 0x0003) return PpiRead(board, port);
    return 0xFF;
}

void BoardPorts::BoardPortOut(std::uint16_t port, std::uint8_t value) {
    if (port > 0x0003) return;
    PpiWrite(board, port, value);
    RequestRepaint(board.hooks);
}
