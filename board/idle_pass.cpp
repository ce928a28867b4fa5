#include "board/idle_pass.h"

#include "board/board.h"

void RunIdlePass(Board& board) { RunIdlePasses(board, 1); }

void RunIdlePasses(Board& board, std::uint64_t passes) {
    if (!board.run.running) return;
    BoardCpu access(board);
    RunIdlePassesOn(board.cpu, board.run, access.bus, passes, board.tStates);
}

bool CountDownStepNmi(RunState& run) {
    if (run.stepNmiArmed == 0) {
        run.stepNmiCountdown = kStepNmiReload;
        return false;
    }
    const std::uint32_t before = run.stepNmiCountdown;
    run.stepNmiCountdown = before - 1u;  // 0 becomes FFFFFFFFh
    return before == 0;
}
