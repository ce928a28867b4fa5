#include "board/monitor_view.h"

namespace {

// monitor.asm: waitkey up to the tables after it (rowsel).
constexpr std::uint16_t kKeyLoopStart = 0x06DB;
constexpr std::uint16_t kKeyLoopEnd = 0x0720;
// REGS and userrun (1 while the user's program runs).
constexpr std::uint16_t kSavedRegisters = 0x27B0;
constexpr std::uint16_t kUserProgramRuns = 0x27E6;

std::uint8_t Byte(const Board& board, unsigned address) {
    return ReadByte(board.memory, board.window, static_cast<std::uint16_t>(address));
}

std::uint16_t Word(const Board& board, unsigned address) {
    return static_cast<std::uint16_t>(Byte(board, address) | Byte(board, address + 1) << 8);
}

}  // namespace

MonitorView ViewOfMonitor(const Board& board) {
    const std::uint16_t pc = board.cpu.PC;
    MonitorView view{};
    view.place = pc >= kRomTop                             ? MonitorPlace::Outside
                 : pc >= kKeyLoopStart && pc < kKeyLoopEnd ? MonitorPlace::WaitingForKey
                                                           : MonitorPlace::Inside;
    view.holdsProgram = view.place != MonitorPlace::Outside && Byte(board, kUserProgramRuns) == 0;
    const unsigned at = kSavedRegisters;
    MonitorSavedRegisters& s = view.saved;
    std::uint16_t* const words[] = {&s.AF, &s.BC, &s.DE, &s.HL, &s.AF_, &s.BC_, &s.DE_, &s.HL_, &s.IX, &s.IY, &s.SP};
    unsigned offset = 0;
    for (std::uint16_t* word : words) {
        *word = Word(board, at + offset);
        offset += 2;
    }
    s.interruptsOn = Byte(board, at + 22);
    s.I = Byte(board, at + 23);
    s.PC = Word(board, at + 24);
    return view;
}
