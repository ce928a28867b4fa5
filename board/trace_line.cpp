#include "board/trace_line.h"

#include <cstdio>

#include "cpu/disassemble.h"

namespace {

// What the CPU would fetch: masked addresses read FFh.
std::uint8_t ReadAsCpu(const void* context, std::uint16_t address) {
    const Board& board = *static_cast<const Board*>(context);
    return ReadByte(board.memory, board.window, address);
}

}  // namespace

std::string TraceLine(const Board& board) {
    const CpuState& cpu = board.cpu;
    const DisassembledInstruction instruction = Disassemble(ReadAsCpu, &board, cpu.PC);
    std::string bytes;
    for (unsigned i = 0; i < instruction.length && i < 4; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", unsigned{ReadAsCpu(&board, static_cast<std::uint16_t>(cpu.PC + i))});
        bytes += (i == 0 ? "" : " ") + std::string(hex);
    }
    if (instruction.length > 4) bytes += "+";
    auto u = [](std::uint16_t v) { return unsigned{v}; };
    char line[192];
    std::snprintf(line, sizeof line,
                  "%04X  AF=%04X BC=%04X DE=%04X HL=%04X IX=%04X IY=%04X SP=%04X T=%llu  %-12s %s\n", u(cpu.PC),
                  u(cpu.AF), u(cpu.BC), u(cpu.DE), u(cpu.HL), u(cpu.IX), u(cpu.IY), u(cpu.SP),
                  static_cast<unsigned long long>(board.tStates), bytes.c_str(), instruction.text);
    return line;
}
