// The page's one board and its run, shared by the page's C++ bindings.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/key_queue.h"

class BoardHistory;
class StoppingRun;
class TemporaryStops;

// The board that the page shows, alive for the whole page.
Board& PageBoard();
// The keys typed on the page, waiting for the board's program to read them.
KeyQueue& PageKeys();
// The passes completed on the board, the key queue's clock.
std::uint64_t PagePasses();

// After the board, the key queue or the place in the idle pass was put back
// from outside (a loaded state): the cursor at that place, no stop, step or
// tape command pending, the display repainted.
void ResumePageRun(int position, std::uint64_t passes);
int PagePassPosition();

// The page's history: every move of the board forward goes through it, and
// every change from outside through its Input, so that Step back and Run back
// find the board as it was.
BoardHistory& PageHistory();
// Runs with breakpoints and watchpoints, forward and back.
StoppingRun& PageStops();
// The stops of the next run only (Step over, source-level steps), ended by any stop.
TemporaryStops& PageTemporaryStops();

// The sizes of the tables the bindings hand the script (see tarvo_layout).
constexpr int kSegmentRecordInts = 6;       // tarvo_segments: one record a segment
constexpr int kRegisterWordCount = 17;      // tarvo_registers
constexpr int kMonitorSavedWordCount = 14;  // tarvo_monitor_saved_registers
