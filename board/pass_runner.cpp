#include "board/pass_runner.h"

#include <utility>

#include "board/trace_line.h"

PassRunner::PassRunner(Board& board, bool observe)
    : board_(board),
      observe_(observe),
      ports_{BoardPorts{board}},
      bus_{board.memory, board.window, ports_},
      cursor_(board, bus_) {}

void PassRunner::Log(std::string line) {
    if (sink_) {
        sink_(line);
    } else {
        log_.push_back(std::move(line));
    }
}

bool PassRunner::Step() {
    const std::uint8_t armedBefore = board_.run.stepNmiArmed;
    const bool nmiTaken = cursor_.Step();
    ++instructions_;
    const int placeInPass = cursor_.Position() == 0 ? kInstructionsPerPass : cursor_.Position();
    const std::uint8_t armed = board_.run.stepNmiArmed;
    if (armed != armedBefore) {
        Log(std::string(armed != 0 ? "armed" : "disarmed") + " by instruction " + std::to_string(placeInPass) +
            " of pass " + std::to_string(pass_));
        if (armed != 0) armedAt_ = instructions_;
    }
    return nmiTaken;
}

void PassRunner::RunInstructions(std::uint64_t count) {
    for (; count > 0; --count) {
        if (!board_.run.running) return;
        if (trace_ != nullptr) *trace_ << TraceLine(board_);
        if (cursor_.Position() == 0) ++pass_;
        if (Step()) {
            Log("taken in pass " + std::to_string(pass_) + ", " + std::to_string(instructions_ - armedAt_) +
                " instructions after the arming");
        }
    }
}

void PassRunner::RunPasses(std::uint64_t passes) {
    if (observe_ || cursor_.Position() != 0) {
        for (; passes > 0; --passes) RunInstructions(kInstructionsPerPass);
        return;
    }
    if (!board_.run.running) return;  // it is never cleared once set
    cursor_.RunPasses(passes);
    pass_ += passes;
    instructions_ += passes * kInstructionsPerPass;
}
