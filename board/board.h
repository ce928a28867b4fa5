// The whole emulated board: the CPU, its memory, the 8255 with the keypad and
// the display behind it, the run state and the hooks to the program around
// it. The Windows program owns exactly one for its whole run; it holds 64 KiB,
// so tests and tools allocate it (std::make_unique<Board>() value-initialises).
#pragma once

#include <cstdint>

#include "board/board_hooks.h"
#include "board/digit_latches.h"
#include "board/key_matrix.h"
#include "board/ppi.h"
#include "board/run_state.h"
#include "cpu/memory_bus.h"
#include "cpu/z80.h"

struct Board {
    CpuState cpu;
    // T-states the CPU has run since the board was made, as Zilog's manual
    // times each instruction and interrupt: the page's and the tools' clock,
    // theirs to read and set. The window neither shows it nor paces by it.
    std::uint64_t tStates;
    BoardMemory memory;
    MemoryWindow window;
    PpiState ppi;
    KeyMatrix keys;
    DigitLatches latches;
    RunState run;
    BoardHooks hooks;
};

// The board's port map as the CPU's bus sees it: 0000h-0003h are the 8255;
// every other port number reads FFh and ignores writes. Each write to the
// 8255 requests a repaint of the display.
struct BoardPorts {
    Board& board;
    std::uint8_t BoardPortIn(std::uint16_t port);
    void BoardPortOut(std::uint16_t port, std::uint8_t value);
};

using BoardCpuBus = BoardBus<BoardPorts>;

// The CPU's bus over one board. Keep it where it is made: the bus refers to
// the ports object inside it.
struct BoardCpu {
    BoardPorts ports;
    BoardCpuBus bus;

    explicit BoardCpu(Board& board) : ports{board}, bus{board.memory, board.window, ports} {}
    BoardCpu(const BoardCpu&) = delete;
    BoardCpu& operator=(const BoardCpu&) = delete;
};

// The board's start, in the order the window's creation follows:
//   SetUpBoard: the 8255 reset and the memory window (ROM below 0800h,
//     reads and writes up to FFFFh);
//   (the caller loads the monitor ROM here);
//   StartBoard: the CPU reset, then the emulation runs.
void SetUpBoard(Board& board);
void StartBoard(Board& board);
