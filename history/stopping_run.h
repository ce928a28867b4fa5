// The board's run as a debugger drives it: forward and back, stopping at
// breakpoints and watchpoints, and saying which one stopped it and where.
// A run that comes after a stop, a step or a move in time goes on from
// there: its first instruction is not stopped, and conditions that hold
// there count as met. Any other run asks before its first instruction too,
// so that a run cut into many calls stops where one long run would.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "history/board_history.h"
#include "history/temporary_stops.h"
#include "history/watch_bus.h"
#include "history/watchpoints.h"

enum class StopCause : std::uint8_t { None, Breakpoint, Temporary, Watchpoint };

class StoppingRun {
public:
    StoppingRun(BoardHistory& history, BoardRun run);
    StoppingRun(const StoppingRun&) = delete;
    StoppingRun& operator=(const StoppingRun&) = delete;

    void SetBreakpoint(std::uint16_t address, bool on);
    bool HasBreakpoints() const { return breakpointCount_ > 0; }
    Watchpoints& Watches() { return watches_; }
    // Stops for the next forward run only, ended by any stop. Unlike the
    // others they are not asked before the first instruction of the run that
    // begins with them (a step to the next line begins on a line), nor by
    // Run back.
    TemporaryStops& Temporary() { return temporary_; }

    // Up to limit instructions with the stops asked (breakpoints only when
    // useBreakpoints); returns how many ran. Cause() says why it ran short.
    std::uint64_t Run(std::uint64_t limit, bool useBreakpoints);
    // Back to the latest earlier stop, or to the oldest point kept (then false).
    bool RunBack();
    // The next run goes on from here.
    void GoOnFromHere();

    StopCause Cause() const { return cause_; }
    // Why the last run stopped, for the page's message line: "the breakpoint
    // at 1805h", "watchpoint 2 (write 1900h): 1900h written by the instruction at 1803h".
    const std::string& Why() const { return why_; }

private:
    // Asked before each instruction; both kinds are asked every time, so that
    // what the watchpoints saw is never left for a later instruction.
    bool Ask(const Board& board);
    std::string WatchText(std::uint16_t previousPc) const;

    BoardHistory& history_;
    BoardRun run_;
    std::unique_ptr<std::uint8_t[]> breakpoints_;
    int breakpointCount_ = 0;
    bool breakpointsOn_ = true;
    bool temporaryOn_ = false;
    TemporaryStops temporary_;
    Watchpoints watches_;
    WatchBus bus_;
    WatchStop watchStop_;
    bool goOn_ = true;
    std::uint64_t goOnAt_ = 0;
    std::uint16_t previousPc_ = 0;  // the PC at the last ask: the instruction that then ran
    StopCause cause_ = StopCause::None;
    std::string why_;
};
