// A started board with its pass cursor, key queue and history, as the page
// holds them, for the history and watchpoint tests.
#pragma once

#include <cstring>
#include <string>

#include "../board/board_fixture.h"
#include "history/board_history.h"

struct HistoryRig {
    BoardFixture f;
    BoardCpu access{f.board};
    PassCursor<BoardCpuBus> cursor{f.board, access.bus};
    KeyQueue keys;
    BoardHistory history;

    explicit HistoryRig(HistoryLimits limits = {}) : history(BoardRun{f.board, access.bus, cursor, keys}, limits) {}

    RunRecord Capture() const { return RunRecord{f.board, keys, cursor.Position(), cursor.Passes()}; }
};

// The first part in which two run states differ, or "" when they are the same byte for byte.
inline std::string FirstDifference(const RunRecord& a, const RunRecord& b) {
    const auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    if (!same(a.board.cpu, b.board.cpu)) return "cpu";
    if (a.board.tStates != b.board.tStates) return "tStates";
    if (!same(a.board.memory, b.board.memory)) return "memory";
    if (!same(a.board.window, b.board.window)) return "window";
    if (!same(a.board.ppi, b.board.ppi)) return "ppi";
    if (!same(a.board.keys, b.board.keys)) return "key matrix";
    if (!same(a.board.latches, b.board.latches)) return "latches";
    if (!same(a.board.run, b.board.run)) return "run state";
    if (!same(a.keys, b.keys)) return "key queue";
    if (a.position != b.position || a.passes != b.passes) return "cursor";
    return "";
}
