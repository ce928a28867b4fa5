// Assembling a source file from disk: the file and its INCLUDEs, each named
// relative to the file that includes it. Shared by tarvoasm and tarvorun --asm.
#pragma once

#include <ostream>
#include <string>

#include "asm/assembler.h"
#include "cpu/memory_bus.h"

// Sources larger than this are refused: no program for the board comes near it.
constexpr long kLargestSourceFile = 16L * 1024 * 1024;

// Reads a whole text file (a UTF-8 path); false with reason set when it cannot.
bool ReadSourceFile(const std::string& path, std::string& text, std::string& reason);

// Assembles the file at path; false with reason set when it cannot be read
// (then result is untouched). The result's own errors are the source's.
bool AssembleFile(const std::string& path, AssemblyResult& result, std::string& reason);

// Every diagnostic as text, then a summary line when there were errors or
// warnings: "counter.asm: 2 errors, 1 warning".
std::string DiagnosticsReport(const AssemblyResult& result);

// tarvorun --asm: assembles path and puts the bytes it writes into memory.
// Messages go to err, each error line after "program: " where the file cannot
// be read; false when it cannot be read or has errors (memory stays as it was).
bool LoadAssembledFile(const std::string& path, const char* program, BoardMemory& memory, std::ostream& err);
