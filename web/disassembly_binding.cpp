// The CPU panel's disassembly: one instruction at a time, read as the CPU
// would fetch it.
#include <cstdint>

#include <emscripten/emscripten.h>

#include "cpu/disassemble.h"
#include "web/web_board.h"

namespace {

DisassembledInstruction lastInstruction;

std::uint8_t ReadAsFetched(const void* context, std::uint16_t address) {
    const Board& board = *static_cast<const Board*>(context);
    return ReadByte(board.memory, board.window, address);
}

}  // namespace

extern "C" {

// The text of the instruction at the address; its length in bytes follows
// from tarvo_disassembled_length.
EMSCRIPTEN_KEEPALIVE const char* tarvo_disassemble(int address) {
    lastInstruction = Disassemble(&ReadAsFetched, &PageBoard(), static_cast<std::uint16_t>(address));
    return lastInstruction.text;
}

EMSCRIPTEN_KEEPALIVE int tarvo_disassembled_length() { return lastInstruction.length; }

}  // extern "C"
