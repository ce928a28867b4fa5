// Idle passes for the headless runner and the exercise checker, with three things the window never needs: a key
// pressed between two instructions of a pass instead of between passes, a log
// of the single-step NMI (armed, disarmed, taken), and a count of the writes
// to the 8255. Without them whole passes run as the page runs them.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "board/pass_cursor.h"

struct PortWrite {
    std::uint8_t port;  // 00h-03h
    std::uint8_t value;
};

// The board's port map, counting the writes that reach the 8255 and, when
// asked, keeping the first of them in order.
struct CountingPorts {
    BoardPorts ports;
    std::uint64_t writes = 0;
    std::uint64_t writesTo[4] = {};  // by port, 00h-03h
    std::vector<PortWrite>* log = nullptr;
    std::size_t logLimit = 0;
    std::uint8_t BoardPortIn(std::uint16_t port) { return ports.BoardPortIn(port); }
    void BoardPortOut(std::uint16_t port, std::uint8_t value) {
        if (port <= 0x0003) {
            ++writes;
            ++writesTo[port];
            if (log != nullptr && log->size() < logLimit)
                log->push_back(PortWrite{static_cast<std::uint8_t>(port), value});
        }
        ports.BoardPortOut(port, value);
    }
};

class PassRunner {
public:
    // observe: run instruction by instruction, logging the step NMI and
    // counting port writes; otherwise whole passes run as one run of
    // instructions (PassCursor::RunPasses).
    PassRunner(Board& board, bool observe);
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // Runs count instructions from where the current pass stands, as the idle
    // passes run them: the countdown check follows the first instruction of
    // every pass. Needs observe, or starts and ends on a pass boundary.
    void RunInstructions(std::uint64_t count);
    void RunPasses(std::uint64_t passes);

    // Instructions already run of the current pass: 0 between passes, else 1-9.
    int Position() const { return cursor_.Position(); }
    // Resumes a saved run at its place in a pass, with the passes it had
    // completed (PassCursor::Passes()); a pass begun before counts as pass 1.
    void PlaceAt(int position, std::uint64_t completed) {
        cursor_.PlaceAt(position, completed);
        pass_ = position != 0 ? 1 : 0;
    }
    std::uint64_t Completed() const { return cursor_.Passes(); }
    // Passes begun since the runner was made; the first one is pass 1.
    std::uint64_t Pass() const { return pass_; }
    std::uint64_t Instructions() const { return instructions_; }
    std::uint64_t PortWrites() const { return ports_.writes; }
    std::uint64_t PortWritesTo(std::uint8_t port) const { return ports_.writesTo[port & 3u]; }
    // One line a change of the step NMI: "armed by instruction K of pass P",
    // "disarmed by instruction K of pass P", "taken in pass P, N instructions
    // after the arming". Kept for the instructions run one by one (observe,
    // or a pass begun by RunInstructions).
    const std::vector<std::string>& NmiLog() const { return log_; }
    // With observe: a TraceLine for each instruction to out from now on.
    void TraceTo(std::ostream& out) { trace_ = &out; }
    // Hands each log line to sink as it happens instead of keeping it in
    // NmiLog(), so that a long run holds no log in memory.
    void SendNmiLogTo(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
    // Keeps the first limit writes to the 8255 from now on in log (which
    // outlives the runner's use of it); null stops the keeping.
    void LogPortWritesTo(std::vector<PortWrite>* log, std::size_t limit) {
        ports_.log = log;
        ports_.logLimit = limit;
    }

private:
    // One instruction of the current pass; true when the step NMI came after it.
    bool Step();
    void Log(std::string line);

    Board& board_;
    bool observe_;
    CountingPorts ports_;
    BoardBus<CountingPorts> bus_;
    PassCursor<BoardBus<CountingPorts>> cursor_;
    std::uint64_t pass_ = 0;
    std::uint64_t instructions_ = 0;
    std::uint64_t armedAt_ = 0;  // instructions_ after the arming instruction
    std::vector<std::string> log_;
    std::ostream* trace_ = nullptr;
    std::function<void(const std::string&)> sink_;
};
