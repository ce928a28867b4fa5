#include "tarvorun_passes.h"

#include "board/idle_pass.h"
#include "tarvorun_trace.h"

PassRunner::PassRunner(Board& board, bool observe)
    : board_(board), observe_(observe), ports_{BoardPorts{board}}, bus_{board.memory, board.window, ports_} {}

void PassRunner::Step() {
    const std::uint8_t armedBefore = board_.run.stepNmiArmed;
    StepCpu(board_.cpu, bus_);
    ++instructions_;
    ++position_;
    const std::uint8_t armed = board_.run.stepNmiArmed;
    if (armed != armedBefore) {
        log_.push_back(std::string(armed != 0 ? "armed" : "disarmed") + " by instruction " + std::to_string(position_) +
                       " of pass " + std::to_string(pass_));
        if (armed != 0) armedAt_ = instructions_;
    }
}

void PassRunner::RunInstructions(std::uint64_t count) {
    for (; count > 0; --count) {
        if (!board_.run.running) return;
        if (trace_ != nullptr) *trace_ << TraceLine(board_);
        if (position_ == 0) ++pass_;
        Step();
        if (position_ == 1) {
            // The countdown check of the idle pass, after its first instruction.
            if (CountDownStepNmi(board_.run)) {
                AcceptNmi(board_.cpu, bus_);
                log_.push_back("taken in pass " + std::to_string(pass_) + ", " +
                               std::to_string(instructions_ - armedAt_) + " instructions after the arming");
            }
        }
        if (position_ == kInstructionsPerPass) position_ = 0;
    }
}

void PassRunner::RunPasses(std::uint64_t passes) {
    if (observe_ || position_ != 0) {
        for (; passes > 0; --passes) RunInstructions(kInstructionsPerPass);
        return;
    }
    for (; passes > 0; --passes) {
        if (!board_.run.running) return;
        RunIdlePass(board_);
        ++pass_;
        instructions_ += kInstructionsPerPass;
    }
}
