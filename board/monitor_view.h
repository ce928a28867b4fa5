// The board's own monitor (monitor/monitor.asm) as a front end shows it
// around a stopped program: whether the CPU is in the monitor, and waiting
// for a key, and the registers of the user's program as the monitor saved
// them when it stopped it (MONI, a breakpoint, a step). The addresses are
// the monitor's, listed in monitor/README.md; the test runs the real image.
#pragma once

#include <cstdint>

#include "board/board.h"

enum class MonitorPlace {
    Outside,        // PC outside the ROM: the user's program runs
    Inside,         // the monitor's code: acting on a key, showing, stopping or starting a program
    WaitingForKey,  // the monitor's key loop
};

// The frame at 27B0h-27C9h, a word each, in the monitor's order.
struct MonitorSavedRegisters {
    std::uint16_t AF, BC, DE, HL, AF_, BC_, DE_, HL_, IX, IY, SP;
    std::uint8_t interruptsOn;  // 0 or 1: the interrupt flip-flop the program had
    std::uint8_t I;
    std::uint16_t PC;
};

struct MonitorView {
    MonitorPlace place;
    // In the monitor, with no program of the user's under way (not between
    // GO or STEP and the program, nor in an RST 38h or interrupt the monitor
    // passes on): the saved registers are the program's.
    bool holdsProgram;
    MonitorSavedRegisters saved;
};

MonitorView ViewOfMonitor(const Board& board);
