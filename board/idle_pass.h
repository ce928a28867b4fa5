// The emulation's only clock: one idle pass runs ten instructions, and
// between the first and the second counts down the single-step NMI.
#pragma once

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

struct RunState;

// Step 2 above on its own: reloads or counts down the step NMI and tells
// whether the NMI is due now. For callers that run a pass one instruction at
// a time (the headless runner's observing mode).
bool CountDownStepNmi(RunState& run);

// The board's start, in the order the window's creation follows:
//   SetUpBoard: the 8255 reset and the memory window (ROM below 0800h,
//     reads and writes up to FFFFh);
//   (the caller loads the monitor ROM here);
//   StartBoard: the CPU reset, then the emulation runs.
void SetUpBoard(Board& board);
void StartBoard(Board& board);
