// Checks a program against an exercise: each run on its own copy of the
// board, keys delivered as tarvorun's --keys delivers them, then the checks.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"
#include "exercises/exercise.h"

struct CheckResult {
    std::string run;    // the run's name, or "run N" (from 1)
    std::string check;  // what it looked at: "display", "register HL (monitor)", "memory 1900", "port 01"
    bool passed = false;
    std::string message;  // the exercise's message for the learner (also kept when passed)
    std::string seen;     // on a failure, what the board had instead
    // The value looked for and the one found, short ("83", "7D 00", "'  0012'"),
    // for a page that shows them side by side; empty when the run never got there.
    std::string expected;
    std::string actual;
};

// The most port writes a run keeps for the "wrote" checks: later ones are counted only.
constexpr std::size_t kMostPortWritesKept = 1u << 16;

// loaded: a board set up (SetUpBoard) with its memory loaded, the monitor and
// the program, not yet started; it is not changed. Every run starts a copy of
// it (a CPU reset), writes the exercise's memory and the run's over it,
// delivers the keys, runs its passes or T-states and evaluates its checks.
// The port writes checked are those from the last key on (its delivery and
// settle time included), or from the start when the run has no keys.
// A run whose key is never taken fails all its checks, saying so.
std::vector<CheckResult> CheckExercise(const Exercise& exercise, const Board& loaded);

// The one result of a submission that does not assemble or load; reason is
// its first error, as "add.asm:3:9: error: ...".
CheckResult LoadFailure(const std::string& reason);

// Checks that passed, of all.
std::size_t CountPassed(const std::vector<CheckResult>& results);
