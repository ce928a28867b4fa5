// The emulation's only clock: one idle pass runs ten instructions, and
// between the first and the second counts down the single-step NMI.
#pragma once

#include "board/run_state.h"
#include "cpu/z80.h"

struct Board;

constexpr int kInstructionsPerPass = 10;
constexpr unsigned kStepNmiReload = 5;

// One idle pass; does nothing until the board has started.
//   1. one instruction;
//   2. step NMI flag clear: the countdown goes back to 5; flag set: the
//      countdown drops by one (wrapping below zero), and when it was 0 before
//      the drop the NMI is taken;
//   3. nine more instructions.
// So with the flag left set the NMI comes in the sixth pass that finds it set,
// after that pass's first instruction; after it, the countdown runs on from
// FFFFFFFFh and another NMI would need 2^32 more passes.
void RunIdlePass(Board& board);

// RunIdlePass passes times over, as one run of instructions wherever it can
// be (see RunIdlePassesOn); the page runs the board flat out so. Both add
// the T-states they run to the board's count.
void RunIdlePasses(Board& board, std::uint64_t passes);

// Step 2 above on its own: reloads or counts down the step NMI and tells
// whether the NMI is due now.
bool CountDownStepNmi(RunState& run);

// The steps above from the middle of a pass: runs its instructions from
// position (those of the pass already run, 0-9) up to end (position + 1 to
// 10), adding their T-states, the NMI's included, to tStates. RunIdlePass is
// the whole pass; the headless runner also runs a pass in pieces, one
// instruction at a time when it watches each. True when the step NMI was
// taken.
template <class Bus>
bool StepInPass(CpuState& cpu, RunState& run, Bus& bus, int position, std::uint64_t& tStates);

template <class Bus>
bool RunIdlePassFrom(CpuState& cpu, RunState& run, Bus& bus, int position, int end, std::uint64_t& tStates) {
    bool taken = false;
    if (position == 0) {
        taken = StepInPass(cpu, run, bus, 0, tStates);
        position = 1;
    }
    // No look at the countdown. Nine instructions at most, one step each: a
    // run loop here would be one more copy of the whole dispatch in the
    // program (about 100 KB of the page's module) for the rare open pass.
    for (; position < end; ++position) StepCpu(cpu, bus, tStates);
    return taken;
}

// One instruction of a pass, the one at position (0-9): RunIdlePassFrom up
// to position + 1 without the run loop, which a bus that only ever steps (a
// watching one) then does not bring into the program a second time.
template <class Bus>
bool StepInPass(CpuState& cpu, RunState& run, Bus& bus, int position, std::uint64_t& tStates) {
    StepCpu(cpu, bus, tStates);
    if (position != 0) return false;
    const bool taken = CountDownStepNmi(run);
    if (taken) AcceptNmi(cpu, bus, tStates);
    return taken;
}

// Whole passes from a pass boundary. A pass whose first instruction leaves
// the step NMI unarmed only reloads the countdown, so a stretch of such passes
// is one run of instructions, which ends at the first instruction boundary
// where the flag is found armed; the rest of that pass, and the passes after
// it while the flag stays armed, go one by one as above.
template <class Bus>
void RunIdlePassesOn(CpuState& cpu, RunState& run, Bus& bus, std::uint64_t passes, std::uint64_t& tStates) {
    constexpr std::uint64_t kPass = kInstructionsPerPass;
    constexpr std::uint64_t kMostPassesARun = std::uint64_t{1} << 32;  // so that their instructions count in 64 bits
    while (passes > 0) {
        const std::uint64_t stretch = passes < kMostPassesARun ? passes : kMostPassesARun;
        const std::uint64_t ran =
            RunCpu(cpu, bus, stretch * kPass, [&run](std::uint16_t) { return run.stepNmiArmed != 0; }, tStates);
        if (ran > 1) run.stepNmiCountdown = kStepNmiReload;  // what each countdown in the run did
        passes -= ran / kPass;
        if (ran == stretch * kPass) continue;
        // Stopped inside the stretch, with the flag armed.
        const auto position = static_cast<int>(ran % kPass);
        if (position == 1) {  // stopped where this pass counts down
            if (CountDownStepNmi(run)) AcceptNmi(cpu, bus, tStates);
            RunIdlePassFrom(cpu, run, bus, 1, kInstructionsPerPass, tStates);
        } else {
            RunIdlePassFrom(cpu, run, bus, position, kInstructionsPerPass, tStates);
        }
        --passes;
    }
}
