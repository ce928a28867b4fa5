// Going back in time on the board: a snapshot of the whole run state every
// so many instructions, every input from outside the CPU logged at the
// instruction count where it came, and deterministic re-execution between.
// A point in the past is the nearest snapshot at or before it, run forward
// with the logged inputs put back at their counts.
//
// The board moves forward through the history (RunPasses, RunUntil, Step),
// and every change from outside goes through Input, so that both are on
// record. After going back, moving forward replays what was recorded, keys
// and interrupts included; a new input there starts a new future and the
// old one is forgotten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "board/key_queue_run.h"
#include "board/pass_cursor.h"
#include "history/input_record.h"
#include "history/run_record.h"
#include "history/watch_bus.h"

struct HistoryLimits {
    std::uint64_t instructionsPerSnapshot = 100000;
    // Reaching back (snapshots - 1) * instructionsPerSnapshot at least: 10 million.
    std::size_t snapshots = 101;
    // The input log's ceiling; past it the oldest snapshots go, and the log before them.
    std::size_t inputBytes = std::size_t{16} << 20;
};

// The parts of a run the history moves: the page's, or a tool's.
struct BoardRun {
    Board& board;
    BoardCpuBus& bus;
    PassCursor<BoardCpuBus>& cursor;
    KeyQueue& keys;
};

// Who last wrote a byte of memory.
struct LastWrite {
    enum class By { Nobody, Instruction, Input } by;  // Nobody: not within the history kept
    std::uint64_t at;  // the instruction's count (it ran from at to at + 1), or the input's
    std::uint16_t pc;  // the instruction's address
};

class BoardHistory {
public:
    // Begins at once, from the run as it stands.
    explicit BoardHistory(BoardRun run, HistoryLimits limits = {});
    BoardHistory(const BoardHistory&) = delete;
    BoardHistory& operator=(const BoardHistory&) = delete;

    // Forgets everything and begins again from the run as it stands.
    void Begin();

    // Instructions run since the history began, the instruction count.
    std::uint64_t Now() const { return now_; }
    // The oldest count still kept.
    std::uint64_t Oldest() const { return snapshots_.front()->at; }
    // Bytes held: snapshots, the input log and the scratch copy of memory.
    std::size_t MemoryBytes() const;

    // Forward, as PassCursor and the key queue run: the rest of an open pass
    // and whole passes; exactly count instructions; one; up to limit,
    // stopping before an instruction for which stop(board) holds, never
    // before the first. Each returns how many instructions ran.
    std::uint64_t RunPasses(std::uint64_t passes);
    std::uint64_t RunInstructions(std::uint64_t count);
    bool Step() { return RunInstructions(1) == 1; }
    template <class Stop>
    std::uint64_t RunUntil(std::uint64_t limit, Stop& stop) {
        return RunUntilOn(run_.bus, limit, stop);
    }
    // The same through another bus, a WatchBus say.
    template <class Bus, class Stop>
    std::uint64_t RunUntilOn(Bus& bus, std::uint64_t limit, Stop& stop);

    // An input from outside the CPU: change() does it to the board, the key
    // queue or the cursor, and the history logs what it did.
    template <class Change>
    void Input(Change change) {
        *before_ = run_.board.memory;
        change();
        LogInput();
    }

    // Back (or forward) to the state at count `at`, no older than Oldest().
    // False, with nothing changed, when it is older.
    bool GoTo(std::uint64_t at);
    bool StepBack() { return now_ > 0 && GoTo(now_ - 1); }
    // Back to the latest earlier point where stop(board) held, as it would
    // have stopped a run there; else to the oldest point kept. True when it
    // found one.
    template <class Stop>
    bool RunBack(Stop& stop) {
        return RunBackOn(run_.bus, stop);
    }
    template <class Bus, class Stop>
    bool RunBackOn(Bus& bus, Stop& stop);

    // The last write to a byte of memory before now: by which instruction, or
    // by an input; found by running the history again. The board ends where
    // it was.
    LastWrite LastWriteTo(std::uint16_t address);

private:
    struct Snapshot {
        RunRecord record;
        std::uint64_t at;
        std::uint64_t logIndex;  // the first log entry not in it
    };

    void Save(RunRecord& record) const;
    void Restore(const RunRecord& record);
    void TakeSnapshot();
    // Puts back the inputs logged at now_ and takes a snapshot when one is due.
    void ReachedNow();
    // Instructions from now_ to the next logged input or snapshot due.
    std::uint64_t ToNextCut() const;
    void LogInput();
    void DropFuture();
    void DropLogBefore(std::uint64_t index);
    void Apply(const InputRecord& input);
    const InputRecord& Logged(std::uint64_t index) const { return log_[static_cast<std::size_t>(index - logBase_)]; }
    std::uint64_t LogEnd() const { return logBase_ + log_.size(); }
    // The distinct snapshot counts below `from`, newest first, and `from`.
    std::vector<std::uint64_t> WindowEdges(std::uint64_t from) const;

    BoardRun run_;
    HistoryLimits limits_;
    std::deque<std::unique_ptr<Snapshot>> snapshots_;
    std::deque<InputRecord> log_;
    std::uint64_t logBase_ = 0;    // the index of log_.front()
    std::uint64_t nextInput_ = 0;  // the first entry not yet put back: those after it are the future
    std::size_t logBytes_ = 0;
    std::unique_ptr<BoardMemory> before_;
    std::uint64_t now_ = 0;
};

template <class Bus, class Stop>
std::uint64_t BoardHistory::RunUntilOn(Bus& bus, std::uint64_t limit, Stop& stop) {
    const auto ask = [&stop](const Board& board) { return static_cast<bool>(stop(board)); };
    PassCursor<Bus> cursor(run_.board, bus);
    std::uint64_t ran = 0;
    ReachedNow();
    while (ran < limit && run_.board.run.running) {
        cursor.PlaceAt(run_.cursor.Position(), run_.cursor.Passes());
        if (ran > 0) {
            if (cursor.Position() == 0) run_.keys.Serve(run_.board, cursor.Passes(), 1);  // as the run would, first
            if (ask(run_.board)) break;
        }
        const std::uint64_t segment = std::min(limit - ran, ToNextCut());
        const std::uint64_t n = RunUntilWithKeys(cursor, run_.keys, segment, ask);
        run_.cursor.PlaceAt(cursor.Position(), cursor.Passes());
        now_ += n;
        ran += n;
        ReachedNow();
        if (n < segment) break;
    }
    return ran;
}

template <class Bus, class Stop>
bool BoardHistory::RunBackOn(Bus& bus, Stop& stop) {
    const std::uint64_t from = now_;
    const std::vector<std::uint64_t> edges = WindowEdges(from);
    // Each window from its start to its end; the end is asked too, so that a
    // stop by the last instruction of a window is found there.
    for (std::size_t i = 1; i < edges.size(); ++i) {
        const std::uint64_t start = edges[i];
        const std::uint64_t end = edges[i - 1];
        GoTo(start);
        stop(run_.board);  // what the bus saw before start is not this window's
        bool found = false;
        std::uint64_t last = 0;
        std::uint64_t k = start;
        auto record = [&](const Board& board) {
            ++k;
            if (stop(board)) {
                found = true;
                last = k;
            }
            return false;
        };
        RunUntilOn(bus, end - start, record);
        if (end < from) {
            if (run_.cursor.Position() == 0) run_.keys.Serve(run_.board, run_.cursor.Passes(), 1);
            if (stop(run_.board)) {
                found = true;
                last = end;
            }
        }
        if (found) {
            GoTo(last);
            return true;
        }
    }
    GoTo(Oldest());
    return false;
}
