// One run of the board without a window: loads, key presses, idle passes and
// the outputs, as the runner's options ask.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "board/board.h"
#include "tarvorun_options.h"
#include "tarvorun_passes.h"

// Exit codes of the runner.
enum : int {
    kRunOk = 0,
    kRunFailed = 1,  // a file (the ROM image among them) or the output could not be read or written, or a key
                     // was never scanned
    kRunUsage = 2,
};

// Loads a raw binary file whole at address; it may hold at most
// 10000h - address bytes. On false memory is unchanged and error says why.
bool LoadBinaryAt(const char* path, BoardMemory& memory, std::uint16_t address, std::string& error);

// Presses one key through a runner standing between two passes: after the
// first phase instructions (0-9) of a pass; the pass is completed, then, for a
// matrix key or the USER KEY, passes run until a port A read has taken it
// (scanLimit of them at most, counting the completed one). False (with error
// naming the key) when it was never taken.
bool DeliverKeyAt(PassRunner& runner, Board& board, const KeyStroke& key, int phase, std::uint32_t scanLimit,
                  std::string& error);

std::string RegistersText(const CpuState& cpu);
std::string MemoryDumpText(const BoardMemory& memory, AddressRange range);

// The whole run. programFolder ends with its separator, or is empty when the
// program's folder is unknown (the default ROM then cannot be found, which
// fails the run unless --no-rom). Outputs go to out, one-line errors to err.
// Returns the exit code.
int RunBoardSession(const RunOptions& options, const std::string& programFolder, char separator, std::ostream& out,
                    std::ostream& err);
