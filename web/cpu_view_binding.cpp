// What the page's CPU panel shows: the registers, memory as the CPU reads it,
// byte edits, and (in disassembly_binding.cpp) the instructions.
#include <cstdint>

#include <emscripten/emscripten.h>

#include "board/memory_areas.h"
#include "history/board_history.h"
#include "web/web_board.h"

extern "C" {

// AF BC DE HL, AF' BC' DE' HL', IX IY SP PC, I R, IFF1 IFF2 IM: 17 words.
EMSCRIPTEN_KEEPALIVE const std::uint16_t* tarvo_registers() {
    static std::uint16_t words[kRegisterWordCount];
    const CpuState& c = PageBoard().cpu;
    const std::uint16_t values[kRegisterWordCount] = {c.AF, c.BC, c.DE, c.HL, c.AF_, c.BC_,  c.DE_,  c.HL_, c.IX,
                                      c.IY, c.SP, c.PC, c.I,  c.R,   c.IFF1, c.IFF2, c.IM};
    for (int i = 0; i < kRegisterWordCount; ++i) words[i] = values[i];
    return words;
}

// A byte as an instruction fetch would read it (FFh where the board decodes nothing).
EMSCRIPTEN_KEEPALIVE int tarvo_read_byte(int address) {
    const Board& board = PageBoard();
    return ReadByte(board.memory, board.window, static_cast<std::uint16_t>(address));
}

// The byte memory holds, whether or not the CPU can read it: what a save writes.
EMSCRIPTEN_KEEPALIVE int tarvo_stored_byte(int address) { return PageBoard().memory.bytes[static_cast<std::uint16_t>(address)]; }

// What the address is to the CPU, as a MemoryArea value.
EMSCRIPTEN_KEEPALIVE int tarvo_memory_area(int address) {
    return static_cast<int>(AreaOf(PageBoard().window, static_cast<std::uint16_t>(address)));
}

// An edit from the memory view, as the board takes it: only where the CPU
// reads and writes (RAM, the monitor's among it); ROM and unmapped addresses
// stay as they are; an input to the history. Returns the address's MemoryArea.
EMSCRIPTEN_KEEPALIVE int tarvo_write_byte(int address, int value) {
    Board& board = PageBoard();
    const auto at = static_cast<std::uint16_t>(address);
    const MemoryArea area = AreaOf(board.window, at);
    if (area == MemoryArea::Ram || area == MemoryArea::MonitorRam) {
        PageHistory().Input([&] { board.memory.bytes[at] = static_cast<std::uint8_t>(value); });
    }
    return static_cast<int>(area);
}

}  // extern "C"
