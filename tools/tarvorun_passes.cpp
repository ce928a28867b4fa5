#include "tarvorun_passes.h"

#include <utility>

#include "board/idle_pass.h"
#include "tarvorun_trace.h"

PassRunner::PassRunner(Board& board, bool observe)
    : board_(board), observe_(observe), ports_{BoardPorts{board}}, bus_{board.memory, board.window, ports_} {}

void PassRunner::Log(std::string line) {
    if (sink_) {
        sink_(line);
    } else {
        log_.push_back(std::move(line));
    }
}

bool PassRunner::Step() {
    const std::uint8_t armedBefore = board_.run.stepNmiArmed;
    const bool nmiTaken = RunIdlePassFrom(board_.cpu, board_.run, bus_, position_, position_ + 1, board_.tStates);
    ++instructions_;
    ++position_;
    const std::uint8_t armed = board_.run.stepNmiArmed;
    if (armed != armedBefore) {
        Log(std::string(armed != 0 ? "armed" : "disarmed") + " by instruction " + std::to_string(position_) +
            " of pass " + std::to_string(pass_));
        if (armed != 0) armedAt_ = instructions_;
    }
    return nmiTaken;
}

void PassRunner::RunInstructions(std::uint64_t count) {
    for (; count > 0; --count) {
        if (!board_.run.running) return;
        if (trace_ != nullptr) *trace_ << TraceLine(board_);
        if (position_ == 0) ++pass_;
        if (Step()) {
            Log("taken in pass " + std::to_string(pass_) + ", " + std::to_string(instructions_ - armedAt_) +
                " instructions after the arming");
        }
        if (position_ == kInstructionsPerPass) position_ = 0;
    }
}

void PassRunner::RunPasses(std::uint64_t passes) {
    if (observe_ || position_ != 0) {
        for (; passes > 0; --passes) RunInstructions(kInstructionsPerPass);
        return;
    }
    if (!board_.run.running) return;  // it is never cleared once set
    RunIdlePasses(board_, passes);
    pass_ += passes;
    instructions_ += passes * kInstructionsPerPass;
}
