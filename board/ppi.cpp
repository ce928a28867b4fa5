#include "board/ppi.h"

#include "board/board.h"

namespace {

constexpr std::uint8_t kStepNmiBit = 0x40;

}  // namespace

void PpiReset(Board& board) {
    board.ppi.control = 0x80;
    board.ppi.portA = 0;
    board.ppi.portB = 0;
    board.ppi.portC = 0;
    RequestRepaint(board.hooks);
    for (auto& row : board.keys.pressed) {
        for (auto& entry : row) entry = 0;
    }
}

std::uint8_t PpiRead(Board& board, unsigned index) {
    switch (index & 3) {
        case 0: return ScanKeyMatrix(board.keys, board.ppi.portC);
        case 3: return board.ppi.control;
        default: return 0x00;  // ports B and C do not read back their latches
    }
}

void PpiWrite(Board& board, unsigned index, std::uint8_t value) {
    PpiState& ppi = board.ppi;
    switch (index & 3) {
        case 0: ppi.portA = value; break;
        case 1:
            ppi.portB = value;
            if (LatchSegments(board.latches, value)) RequestRepaint(board.hooks);
            break;
        case 2:
            ppi.portC = value;
            SelectDigits(board.latches, value);
            // A direct write arms the step NMI with bit 6 low...
            board.run.stepNmiArmed = (value & kStepNmiBit) != 0 ? 0 : 1;
            break;
        default:
            if ((value & 0x80) != 0) {
                // Mode set: the latches clear, but neither the digit select nor
                // the step NMI follows port C's bit 6 going low here.
                ppi.control = value;
                ppi.portA = 0;
                ppi.portB = 0;
                ppi.portC = 0;
            } else {
                // ...a bit set/reset arms it with bit 6 high. The display keeps
                // the select of the last direct write.
                const auto bit = static_cast<std::uint8_t>(1u << ((value >> 1) & 7));
                if ((value & 1) != 0) {
                    ppi.portC = static_cast<std::uint8_t>(ppi.portC | bit);
                } else {
                    ppi.portC = static_cast<std::uint8_t>(ppi.portC & ~bit);
                }
                board.run.stepNmiArmed = (ppi.portC & kStepNmiBit) != 0 ? 1 : 0;
            }
            break;
    }
}
