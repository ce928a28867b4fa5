// A started board with counting hooks, and a few Z80 instructions as bytes,
// for the board tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "board/board.h"
#include "board/idle_pass.h"
#include "board/key_actions.h"

struct HookCounts {
    int repaints = 0;
    int openHex = 0;
    int saveHex = 0;
};

inline void CountRepaint(void* context) { ++static_cast<HookCounts*>(context)->repaints; }
inline void CountTape(void* context, TapeCommand command) {
    auto* counts = static_cast<HookCounts*>(context);
    if (command == TapeCommand::OpenHexFile) ++counts->openHex;
    if (command == TapeCommand::SaveHexFile) ++counts->saveHex;
}

constexpr std::uint16_t kProgramStart = 0x1800;  // RAM: 1800h-27FFh
constexpr std::uint16_t kStackTop = 0x2800;

// A board started as the window starts it, running a program at 1800h with
// the stack at the top of RAM. The memory is all zero (NOP) apart from the
// program.
struct BoardFixture {
    std::unique_ptr<Board> owner = std::make_unique<Board>();
    Board& board = *owner;
    HookCounts counts;

    BoardFixture() {
        board.hooks = BoardHooks{&counts, CountRepaint, CountTape};
        SetUpBoard(board);
        StartBoard(board);
        board.cpu.PC = kProgramStart;
        board.cpu.SP = kStackTop;
        counts = HookCounts{};
    }

    void Load(std::uint16_t at, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) board.memory.bytes[(at + i) & 0xFFFF] = bytes[i];
    }

    std::uint8_t In(std::uint16_t port) { return BoardPorts{board}.BoardPortIn(port); }
    void Out(std::uint16_t port, std::uint8_t value) { BoardPorts{board}.BoardPortOut(port, value); }

    void Passes(int n) {
        for (int i = 0; i < n; ++i) RunIdlePass(board);
    }
    void Steps(int n) {
        BoardCpu access(board);
        for (int i = 0; i < n; ++i) StepCpu(board.cpu, access.bus);
    }
};

// Z80 instructions written out as bytes; each call is one instruction.
struct Program {
    std::vector<std::uint8_t> bytes;
    int instructions = 0;

    Program& Emit(std::initializer_list<std::uint8_t> b) {
        bytes.insert(bytes.end(), b);
        ++instructions;
        return *this;
    }
    Program& Nops(int n) {
        for (int i = 0; i < n; ++i) Emit({0x00});
        return *this;
    }
    Program& LdA(std::uint8_t v) { return Emit({0x3E, v}); }
    Program& OutA(std::uint8_t port) { return Emit({0xD3, port}); }
    Program& InA(std::uint8_t port) { return Emit({0xDB, port}); }
    Program& StoreA(std::uint16_t at) {
        return Emit({0x32, static_cast<std::uint8_t>(at), static_cast<std::uint8_t>(at >> 8)});
    }
    Program& Ei() { return Emit({0xFB}); }
    Program& Im1() { return Emit({0xED, 0x56}); }
    Program& Spin() { return Emit({0x18, 0xFE}); }  // JR $
    std::uint16_t End() const { return static_cast<std::uint16_t>(kProgramStart + bytes.size()); }
};
