// Idle passes for the runner, with three things the window never needs: a key
// pressed between two instructions of a pass instead of between passes, a log
// of the single-step NMI (armed, disarmed, taken), and a count of the writes
// to the 8255. Without them the runner uses RunIdlePass itself.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "board/board.h"

// The board's port map, counting the writes that reach the 8255.
struct CountingPorts {
    BoardPorts ports;
    std::uint64_t writes = 0;
    std::uint8_t BoardPortIn(std::uint16_t port) { return ports.BoardPortIn(port); }
    void BoardPortOut(std::uint16_t port, std::uint8_t value) {
        if (port <= 0x0003) ++writes;
        ports.BoardPortOut(port, value);
    }
};

class PassRunner {
public:
    // observe: run instruction by instruction, logging the step NMI and
    // counting port writes; otherwise whole passes go to RunIdlePass.
    PassRunner(Board& board, bool observe);
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // Runs count instructions from where the current pass stands, as the idle
    // passes run them: the countdown check follows the first instruction of
    // every pass. Needs observe, or starts and ends on a pass boundary.
    void RunInstructions(std::uint64_t count);
    void RunPasses(std::uint64_t passes);

    // Instructions already run of the current pass: 0 between passes, else 1-9.
    int Position() const { return position_; }
    // Passes begun since the runner was made; the first one is pass 1.
    std::uint64_t Pass() const { return pass_; }
    std::uint64_t Instructions() const { return instructions_; }
    std::uint64_t PortWrites() const { return ports_.writes; }
    // One line a change of the step NMI: "armed by instruction K of pass P",
    // "disarmed by instruction K of pass P", "taken in pass P, N instructions
    // after the arming". Kept for the instructions run one by one (observe,
    // or a pass begun by RunInstructions).
    const std::vector<std::string>& NmiLog() const { return log_; }
    // With observe: a TraceLine for each instruction to out from now on.
    void TraceTo(std::ostream& out) { trace_ = &out; }

private:
    void Step();

    Board& board_;
    bool observe_;
    CountingPorts ports_;
    BoardBus<CountingPorts> bus_;
    int position_ = 0;
    std::uint64_t pass_ = 0;
    std::uint64_t instructions_ = 0;
    std::uint64_t armedAt_ = 0;  // instructions_ after the arming instruction
    std::vector<std::string> log_;
    std::ostream* trace_ = nullptr;
};
