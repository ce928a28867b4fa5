#include "history/stopping_run.h"

#include <cstdio>

namespace {

std::string Hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04Xh", value);
    return text;
}

// What a watched access did, as the stop's message says it.
std::string Access(const WatchHit& hit) {
    char text[32];
    switch (hit.kind) {
        case WatchKind::Read: std::snprintf(text, sizeof text, "%04Xh read", hit.address); break;
        case WatchKind::Write: std::snprintf(text, sizeof text, "%04Xh written", hit.address); break;
        case WatchKind::PortIn: std::snprintf(text, sizeof text, "IN from port %02Xh", hit.address & 0xFF); break;
        default: std::snprintf(text, sizeof text, "OUT to port %02Xh", hit.address & 0xFF); break;
    }
    return text;
}

bool Covers(const Watchpoint& w, const WatchHit& hit) {
    const bool port = hit.kind == WatchKind::PortIn || hit.kind == WatchKind::PortOut;
    const std::uint16_t at = port ? static_cast<std::uint16_t>(hit.address & 0xFF) : hit.address;
    return w.kind == hit.kind && w.from <= at && at <= w.to;
}

}  // namespace

StoppingRun::StoppingRun(BoardHistory& history, BoardRun run)
    : history_(history),
      run_(run),
      breakpoints_(new std::uint8_t[65536]()),
      bus_(run.board, watches_),
      watchStop_(bus_, watches_) {}

void StoppingRun::SetBreakpoint(std::uint16_t address, bool on) {
    std::uint8_t& slot = breakpoints_[address];
    const std::uint8_t wanted = on ? 1 : 0;
    if (slot == wanted) return;
    breakpointCount_ += on ? 1 : -1;
    slot = wanted;
}

void StoppingRun::GoOnFromHere() {
    goOn_ = true;
    goOnAt_ = history_.Now();
}

bool StoppingRun::Ask(const Board& board) {
    const bool watched = !watches_.Empty() && watchStop_(board);
    const bool atBreakpoint = breakpointsOn_ && breakpoints_[board.cpu.PC] != 0;
    const bool atTemporary = temporaryOn_ && temporary_.Reached(board.cpu);
    if (atTemporary) {
        cause_ = StopCause::Temporary;
        why_ = "the end of the step at " + Hex4(board.cpu.PC);
    } else if (atBreakpoint) {
        cause_ = StopCause::Breakpoint;
        why_ = "the breakpoint at " + Hex4(board.cpu.PC);
    } else if (watched) {
        cause_ = StopCause::Watchpoint;
        why_ = WatchText(previousPc_);
    }
    previousPc_ = board.cpu.PC;
    return atTemporary || atBreakpoint || watched;
}

std::string StoppingRun::WatchText(std::uint16_t previousPc) const {
    const int reason = watchStop_.ReasonId();
    for (const Watchpoint& w : watches_.List()) {
        if (reason != 0 ? w.id != reason : !Covers(w, watchStop_.Hit())) continue;
        const std::string what = "watchpoint " + std::to_string(w.id) + " (" + DescribeWatchpoint(w) + "): ";
        if (reason != 0) return what + "it came to hold after the instruction at " + Hex4(previousPc);
        return what + Access(watchStop_.Hit()) + " by the instruction at " + Hex4(previousPc);
    }
    return "a watchpoint";
}

std::uint64_t StoppingRun::Run(std::uint64_t limit, bool useBreakpoints) {
    cause_ = StopCause::None;
    breakpointsOn_ = useBreakpoints;
    if (limit == 0 || !run_.board.run.running) return 0;
    const bool stops = (useBreakpoints && HasBreakpoints()) || !watches_.Empty() || temporary_.Any();
    const bool fromHere = goOn_ && goOnAt_ == history_.Now();
    goOn_ = false;
    if (!stops) return history_.RunInstructions(limit);
    if (fromHere) {
        watchStop_.Prime(run_.board);
        previousPc_ = run_.board.cpu.PC;
    } else {
        // A key due at this pass boundary comes first, as within a run.
        if (run_.cursor.Position() == 0) run_.keys.Serve(run_.board, run_.cursor.Passes(), 1);
        temporaryOn_ = temporary_.UnderWay();
        if (Ask(run_.board)) {
            temporary_.Clear();
            return 0;
        }
    }
    temporaryOn_ = true;
    auto ask = [this](const Board& board) { return Ask(board); };
    const std::uint64_t ran =
        watches_.Empty() ? history_.RunUntil(limit, ask) : history_.RunUntilOn(bus_, limit, ask);
    temporaryOn_ = false;
    if (cause_ != StopCause::None) temporary_.Clear();
    else temporary_.SetUnderWay();
    return ran;
}

bool StoppingRun::RunBack() {
    cause_ = StopCause::None;
    breakpointsOn_ = true;
    temporaryOn_ = false;
    auto ask = [this](const Board& board) { return Ask(board); };
    StopCause found = StopCause::None;
    std::string why;
    // Ask keeps the cause of the latest stop seen; Run back lands on the latest one.
    auto keep = [&](const Board& board) {
        const bool stop = ask(board);
        if (stop) {
            found = cause_;
            why = why_;
        }
        return stop;
    };
    const bool landed = watches_.Empty() ? history_.RunBack(keep) : history_.RunBackOn(bus_, keep);
    cause_ = landed ? found : StopCause::None;
    why_ = landed ? why : std::string();
    GoOnFromHere();
    return landed;
}
