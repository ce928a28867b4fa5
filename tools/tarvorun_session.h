// One run of the board without a window: loads, key presses, idle passes and
// the outputs, as the runner's options ask.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/key_delivery.h"
#include "board/pass_runner.h"
#include "tarvorun_options.h"

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

// The monitor ROM image: --rom's file, else the one beside the program, in a
// folder of any length (the window's limit is its own buffer's). Only --no-rom
// runs the board without one. false, with a line on err, when it cannot be read.
bool LoadRomImage(Board& board, const RunOptions& options, const std::string& programFolder, char separator,
                  std::ostream& err);

std::string RegistersText(const CpuState& cpu);
std::string MemoryDumpText(const BoardMemory& memory, AddressRange range);

// The whole run. programFolder ends with its separator, or is empty when the
// program's folder is unknown (the default ROM then cannot be found, which
// fails the run unless --no-rom). Outputs go to out, one-line errors to err.
// Returns the exit code.
int RunBoardSession(const RunOptions& options, const std::string& programFolder, char separator, std::ostream& out,
                    std::ostream& err);
