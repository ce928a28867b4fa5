// The page's one board and its run, shared by the page's C++ bindings.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/key_queue.h"

// The board that the page shows, alive for the whole page.
Board& PageBoard();
// The keys typed on the page, waiting for the board's program to read them.
KeyQueue& PageKeys();
// The passes completed on the board, the key queue's clock.
std::uint64_t PagePasses();

// The sizes of the tables the bindings hand the script (see tarvo_layout).
constexpr int kSegmentRecordInts = 6;   // tarvo_segments: one record a segment
constexpr int kRegisterWordCount = 17;  // tarvo_registers
