// tarvorun --exercise: grades one submission against an exercise file.
#pragma once

#include <ostream>
#include <string>

#include "tarvorun_options.h"

// Reads the exercise, loads the monitor and the submission, runs the checks
// and prints their lines to out (or the report, when its file is "-"); the
// report goes to its file. Returns 0 when every check passed, 1 when one
// failed or the submission would not load, 2 for the grader's faults (a bad
// exercise file, no ROM image, a report that cannot be written).
int RunExerciseSession(const RunOptions& options, const std::string& programFolder, char separator, std::ostream& out,
                       std::ostream& err);
