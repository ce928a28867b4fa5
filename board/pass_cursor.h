// A run of the board that may stop between any two instructions and go on as
// if it never had: the cursor keeps the place within the current idle pass,
// so the step NMI's countdown still follows the first instruction of every
// pass. Every move adds its T-states to the board's count. The page's Run, Step and breakpoints and the headless runner move
// through it.
//
// Bus is the CPU's bus the instructions go through: BoardCpuBus, or one that
// watches the board's ports or memory on the way (a stop on a memory write
// is such a bus with a stop predicate that asks it).
#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/idle_pass.h"

template <class Bus>
class PassCursor {
public:
    PassCursor(Board& board, Bus& bus) : board_(board), bus_(bus) {}
    PassCursor(const PassCursor&) = delete;
    PassCursor& operator=(const PassCursor&) = delete;

    // Instructions already run of the current pass: 0 at a pass boundary, else 1-9.
    int Position() const { return position_; }
    // Passes completed through this cursor: the page's key queue counts its waits in them.
    std::uint64_t Passes() const { return passes_; }
    // For a board started afresh: at a pass boundary, no pass completed.
    void Restart() { PlaceAt(0, 0); }
    // Back at a place it stood at before, as a saved run state records it.
    void PlaceAt(int position, std::uint64_t passes) {
        position_ = position;
        passes_ = passes;
    }

    // One instruction in its place within the pass; true when the step NMI
    // was taken after it. Like every move here, nothing runs before the
    // board has started.
    bool Step() {
        if (!board_.run.running) return false;
        const bool taken = StepInPass(board_.cpu, board_.run, bus_, position_, board_.tStates);
        position_ = (position_ + 1) % kInstructionsPerPass;
        if (position_ == 0) ++passes_;
        return taken;
    }

    // Up to limit instructions, stopping before one for which
    // stopBefore(board) holds (a breakpoint, a condition), but never before
    // the first: a run goes on from where the last one stopped. Returns how
    // many ran.
    template <class StopBefore>
    std::uint64_t RunUntil(std::uint64_t limit, StopBefore stopBefore) {
        return RunUntil(limit, stopBefore, [](Board&, std::uint64_t) {});
    }

    // The same, with atPassStart(board, Passes()) called at every pass
    // boundary before the stop is asked (what it does, an interrupt say, may
    // move PC onto a stop). It may be called again at the same boundary when a
    // run stopped there goes on, so it must do nothing the second time.
    template <class StopBefore, class AtPassStart>
    std::uint64_t RunUntil(std::uint64_t limit, StopBefore stopBefore, AtPassStart atPassStart) {
        std::uint64_t ran = 0;
        for (; ran < limit && board_.run.running; ++ran) {
            if (position_ == 0) atPassStart(board_, passes_);
            if (ran > 0 && stopBefore(static_cast<const Board&>(board_))) break;
            Step();
        }
        return ran;
    }

    // The rest of a pass left open, in one go. Returns how many instructions ran.
    std::uint64_t FinishPass() {
        if (!board_.run.running || position_ == 0) return 0;
        RunIdlePassFrom(board_.cpu, board_.run, bus_, position_, kInstructionsPerPass, board_.tStates);
        const auto ran = static_cast<std::uint64_t>(kInstructionsPerPass - position_);
        position_ = 0;
        ++passes_;
        return ran;
    }

    // Finishes a pass left open, then runs whole passes as one run of
    // instructions (RunIdlePassesOn). Returns how many instructions ran.
    std::uint64_t RunPasses(std::uint64_t passes) {
        if (!board_.run.running) return 0;
        const std::uint64_t rest = FinishPass();
        RunIdlePassesOn(board_.cpu, board_.run, bus_, passes, board_.tStates);
        passes_ += passes;
        return rest + passes * static_cast<std::uint64_t>(kInstructionsPerPass);
    }

private:
    Board& board_;
    Bus& bus_;
    int position_ = 0;
    std::uint64_t passes_ = 0;
};
