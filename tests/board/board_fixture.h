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
constexpr std::uint16_t kDriftingArmingNmiCount = 0x2100;  // see LoadDriftingArming

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

    // A program that arms the step NMI and disarms it after a delay that
    // changes each time round, so the flag changes at every place in a pass;
    // the NMI handler counts in kDriftingArmingNmiCount and disarms.
    void LoadDriftingArming() {
        Load(0x0066, {
                         0xF5, 0x3E, 0x40, 0xD3, 0x02,  // PUSH AF; LD A,40h; OUT (02h),A: disarm
                         0x21, 0x00, 0x21, 0x34,        // LD HL,2100h; INC (HL): count the NMI
                         0xF1, 0xED, 0x45,              // POP AF; RETN
                     });
        Load(kProgramStart, {
                                0x21, 0x01, 0x21, 0x34, 0x7E,  // LD HL,2101h; INC (HL); LD A,(HL)
                                0xE6, 0x7F, 0x47, 0x04,        // AND 7Fh; LD B,A; INC B
                                0xAF, 0xD3, 0x02,              // XOR A; OUT (02h),A: arm
                                0x10, 0xFE,                    // DJNZ $: 1-128 instructions
                                0x3E, 0x40, 0xD3, 0x02,        // LD A,40h; OUT (02h),A: disarm, unless the NMI did
                                0x7E, 0x0F, 0xE6, 0x0F, 0x47, 0x04, 0x10, 0xFE,  // a second delay, 1-16
                                0xC3, 0x00, 0x18,                                // JP 1800h
                            });
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
