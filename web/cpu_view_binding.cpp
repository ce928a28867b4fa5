// What the page's CPU panel shows and changes: the registers, memory as the
// CPU reads it, byte edits, and (in disassembly_binding.cpp) the instructions.
#include <cstdint>

#include <emscripten/emscripten.h>

#include "board/memory_areas.h"
#include "history/board_history.h"
#include "web/web_board.h"

namespace {

// The registers in the order the script reads them, and the largest value
// each may be given.
struct RegisterSlot {
    std::uint16_t CpuState::*field;
    int largest;
};
constexpr int kWord = 0xFFFF;
constexpr RegisterSlot kRegisterSlots[kRegisterWordCount] = {
    {&CpuState::AF, kWord},  {&CpuState::BC, kWord},  {&CpuState::DE, kWord},  {&CpuState::HL, kWord},
    {&CpuState::AF_, kWord}, {&CpuState::BC_, kWord}, {&CpuState::DE_, kWord}, {&CpuState::HL_, kWord},
    {&CpuState::IX, kWord},  {&CpuState::IY, kWord},  {&CpuState::SP, kWord},  {&CpuState::PC, kWord},
    {&CpuState::I, 0xFF},    {&CpuState::R, 0xFF},    {&CpuState::IFF1, 1},    {&CpuState::IFF2, 1},
    {&CpuState::IM, 2},
};

}  // namespace

extern "C" {

// AF BC DE HL, AF' BC' DE' HL', IX IY SP PC, I R, IFF1 IFF2 IM: 17 words.
EMSCRIPTEN_KEEPALIVE const std::uint16_t* tarvo_registers() {
    static std::uint16_t words[kRegisterWordCount];
    const CpuState& c = PageBoard().cpu;
    for (int i = 0; i < kRegisterWordCount; ++i) words[i] = c.*kRegisterSlots[i].field;
    return words;
}

// A register changed from the panel, by its place in tarvo_registers. The
// value must fit: a byte for I and R, 0 or 1 for IFF1 and IFF2, 0 to 2 for
// IM. 0: no such register, or a value it cannot hold (nothing changes). An
// input to the history.
EMSCRIPTEN_KEEPALIVE int tarvo_set_register(int index, int value) {
    if (index < 0 || index >= kRegisterWordCount || value < 0 || value > kRegisterSlots[index].largest) return 0;
    PageHistory().Input(
        [&] { PageBoard().cpu.*kRegisterSlots[index].field = static_cast<std::uint16_t>(value); });
    return 1;
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
