// The runner's standard output: a write that fails ends the run at once and is reported, so that
// a full disk or a closed output never passes for success and a long --trace stops with it.
#pragma once

#include <functional>
#include <ostream>

// Runs produce, which writes to out, then flushes out. Returns produce's exit code, or kRunFailed
// with "tarvorun: cannot write the output: REASON" on err as soon as a write to out fails.
int WithCheckedOutput(std::ostream& out, std::ostream& err, const std::function<int()>& produce);

// False when the process was started with its standard output closed: a file the run opens
// would then take its place and swallow the output unseen.
bool StandardOutputIsOpen();
