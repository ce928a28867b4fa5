#include "history/board_history.h"

#include <algorithm>

BoardHistory::BoardHistory(BoardRun run, HistoryLimits limits)
    : run_(run), limits_(limits), before_(std::make_unique<BoardMemory>()) {
    if (limits_.snapshots < 2) limits_.snapshots = 2;
    if (limits_.instructionsPerSnapshot < 1) limits_.instructionsPerSnapshot = 1;
    Begin();
}

void BoardHistory::Begin() {
    snapshots_.clear();
    log_.clear();
    logBase_ = nextInput_ = 0;
    logBytes_ = 0;
    now_ = 0;
    TakeSnapshot();
}

std::size_t BoardHistory::MemoryBytes() const {
    return sizeof *this + snapshots_.size() * (sizeof(Snapshot) + sizeof(void*)) + logBytes_ + sizeof(BoardMemory);
}

void BoardHistory::Save(RunRecord& record) const {
    record.board = run_.board;
    record.keys = run_.keys;
    record.position = run_.cursor.Position();
    record.passes = run_.cursor.Passes();
}

void BoardHistory::Restore(const RunRecord& record) {
    const BoardHooks hooks = run_.board.hooks;
    run_.board = record.board;
    run_.board.hooks = hooks;
    run_.keys = record.keys;
    run_.cursor.PlaceAt(record.position, record.passes);
}

void BoardHistory::TakeSnapshot() {
    std::unique_ptr<Snapshot> slot;
    if (snapshots_.size() >= limits_.snapshots) {  // the oldest one's memory serves again
        slot = std::move(snapshots_.front());
        snapshots_.pop_front();
    } else {
        slot = std::make_unique<Snapshot>();
    }
    Save(slot->record);
    slot->at = now_;
    slot->logIndex = nextInput_;
    snapshots_.push_back(std::move(slot));
    DropLogBefore(snapshots_.front()->logIndex);
}

void BoardHistory::ReachedNow() {
    while (nextInput_ < LogEnd() && Logged(nextInput_).at == now_) Apply(Logged(nextInput_++));
    if (now_ >= snapshots_.back()->at + limits_.instructionsPerSnapshot) TakeSnapshot();
}

std::uint64_t BoardHistory::ToNextCut() const {
    std::uint64_t cut = snapshots_.back()->at + limits_.instructionsPerSnapshot;
    if (nextInput_ < LogEnd()) cut = std::min(cut, Logged(nextInput_).at);
    return cut - now_;
}

std::uint64_t BoardHistory::RunInstructions(std::uint64_t count) {
    std::uint64_t done = 0;
    ReachedNow();
    while (done < count && run_.board.run.running) {
        const std::uint64_t segment = std::min(count - done, ToNextCut());
        const int position = run_.cursor.Position();
        std::uint64_t ran = 0;
        if (position == 0 && segment >= kInstructionsPerPass) {
            ran = RunPassesWithKeys(run_.cursor, run_.keys, run_.board, segment / kInstructionsPerPass);
        } else {
            const auto inPass = static_cast<std::uint64_t>(kInstructionsPerPass - position);
            ran = RunUntilWithKeys(run_.cursor, run_.keys, std::min(segment, inPass),
                                   [](const Board&) { return false; });
        }
        now_ += ran;
        done += ran;
        ReachedNow();
        if (ran == 0) break;
    }
    return done;
}

std::uint64_t BoardHistory::RunPasses(std::uint64_t passes) {
    const int position = run_.cursor.Position();
    const std::uint64_t rest = position == 0 ? 0 : static_cast<std::uint64_t>(kInstructionsPerPass - position);
    return RunInstructions(rest + passes * kInstructionsPerPass);
}

void BoardHistory::LogInput() {
    DropFuture();
    InputRecord input{now_, OutsideMemory(run_.board), run_.keys, run_.cursor.Position(), run_.cursor.Passes(), {}, {}};
    NoteMemoryChanges(*before_, run_.board.memory, input);
    logBytes_ += BytesHeld(input);
    log_.push_back(std::move(input));
    ++nextInput_;
    while (logBytes_ > limits_.inputBytes && snapshots_.size() > 1) {
        snapshots_.pop_front();
        DropLogBefore(snapshots_.front()->logIndex);
    }
    if (logBytes_ > limits_.inputBytes) {  // one snapshot now holds every input so far
        TakeSnapshot();
        while (snapshots_.size() > 1) snapshots_.pop_front();
        DropLogBefore(snapshots_.front()->logIndex);
    }
}

void BoardHistory::DropFuture() {
    while (LogEnd() > nextInput_) {
        logBytes_ -= BytesHeld(log_.back());
        log_.pop_back();
    }
    while (snapshots_.back()->at > now_) snapshots_.pop_back();
}

void BoardHistory::DropLogBefore(std::uint64_t index) {
    while (logBase_ < index && !log_.empty()) {
        logBytes_ -= BytesHeld(log_.front());
        log_.pop_front();
        ++logBase_;
    }
}

void BoardHistory::Apply(const InputRecord& input) {
    PutOutsideMemory(input.board, run_.board);
    PutMemoryChanges(input, run_.board.memory);
    run_.keys = input.keys;
    run_.cursor.PlaceAt(input.position, input.passes);
}

bool BoardHistory::GoTo(std::uint64_t at) {
    if (at < Oldest()) return false;
    if (at < now_) {
        // The latest snapshot at or before it: the one with the most inputs at its count.
        auto it = std::upper_bound(snapshots_.begin(), snapshots_.end(), at,
                                   [](std::uint64_t count, const std::unique_ptr<Snapshot>& s) { return count < s->at; });
        const Snapshot& from = **(it - 1);
        Restore(from.record);
        now_ = from.at;
        nextInput_ = from.logIndex;
    }
    RunInstructions(at - now_);
    RequestRepaint(run_.board.hooks);
    return now_ == at;
}

std::vector<std::uint64_t> BoardHistory::WindowEdges(std::uint64_t from) const {
    std::vector<std::uint64_t> edges{from};
    for (auto it = snapshots_.rbegin(); it != snapshots_.rend(); ++it) {
        if ((*it)->at < edges.back()) edges.push_back((*it)->at);
    }
    return edges;
}

LastWrite BoardHistory::LastWriteTo(std::uint16_t address) {
    const std::uint64_t from = now_;
    LastWrite input{LastWrite::By::Nobody, 0, 0};
    for (std::uint64_t i = logBase_; i < nextInput_; ++i) {
        if (ChangesByte(Logged(i), address)) input = LastWrite{LastWrite::By::Input, Logged(i).at, 0};
    }
    Watchpoints watch;
    std::string unused;
    watch.AddMemory(WatchKind::Write, address, address, unused);
    WatchBus bus(run_.board, watch);
    LastWrite found = input;
    const std::vector<std::uint64_t> edges = WindowEdges(from);
    for (std::size_t i = 1; i < edges.size(); ++i) {
        const std::uint64_t start = edges[i];
        const std::uint64_t end = edges[i - 1];
        if (input.by == LastWrite::By::Input && input.at >= end) break;  // nothing in here comes after it
        GoTo(start);
        WatchHit hit{};
        bus.TakeHit(hit);
        bool wrote = false;
        LastWrite last{LastWrite::By::Instruction, 0, 0};
        std::uint64_t k = start;
        std::uint16_t pc = run_.board.cpu.PC;
        auto record = [&](const Board& board) {
            if (bus.TakeHit(hit)) {
                wrote = true;
                last = LastWrite{LastWrite::By::Instruction, k, pc};
            }
            ++k;
            pc = board.cpu.PC;
            return false;
        };
        RunUntilOn(bus, end - start, record);
        if (bus.TakeHit(hit)) {
            wrote = true;
            last = LastWrite{LastWrite::By::Instruction, end - 1, pc};
        }
        if (wrote) {
            if (input.by != LastWrite::By::Input || input.at < last.at + 1) found = last;
            break;
        }
    }
    GoTo(from);
    return found;
}
