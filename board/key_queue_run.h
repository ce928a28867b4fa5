// Runs of the pass cursor with a key queue served at every pass boundary:
// the page's Run, breakpoints and Step, so that typed keys reach the program
// the same way whichever of them moves the board.
#pragma once

#include <cstdint>

#include "board/key_queue.h"
#include "board/pass_cursor.h"

// The rest of an open pass, then whole passes; between two deliveries the
// passes run as one stretch, all of them when no key waits. Returns the
// instructions run.
template <class Bus>
std::uint64_t RunPassesWithKeys(PassCursor<Bus>& cursor, KeyQueue& keys, Board& board, std::uint64_t passes) {
    std::uint64_t ran = cursor.FinishPass();
    while (passes > 0 && board.run.running) {
        const std::uint64_t stretch = keys.Serve(board, cursor.Passes(), passes);
        ran += cursor.RunPasses(stretch);
        passes -= stretch;
    }
    return ran;
}

// PassCursor::RunUntil with the queue served at every pass boundary.
template <class Bus, class StopBefore>
std::uint64_t RunUntilWithKeys(PassCursor<Bus>& cursor, KeyQueue& keys, std::uint64_t limit, StopBefore stopBefore) {
    return cursor.RunUntil(limit, stopBefore,
                           [&keys](Board& board, std::uint64_t now) { keys.Serve(board, now, 1); });
}

// One instruction, the queue served first when it starts a pass.
template <class Bus>
bool StepWithKeys(PassCursor<Bus>& cursor, KeyQueue& keys, Board& board) {
    if (cursor.Position() == 0 && board.run.running) keys.Serve(board, cursor.Passes(), 1);
    return cursor.Step();
}
