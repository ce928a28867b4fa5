// An assembly's bytes as an Intel HEX file, one block of records for each
// range it wrote, through the writer of "Save hex file" (files/hex_file.h),
// or straight into a board's memory as that file would load them.
// The one part of asm/ that writes a file; the assembler proper reads and
// writes none.
#pragma once

#include "asm/assembler.h"
#include "cpu/memory_bus.h"
#include "files/file_error.h"

// Results as WriteHexFileRanges gives them: 0 saved, -1 the file could not be written.
int WriteAssemblyHex(const char* path, const AssemblyResult& result, FileError* error = nullptr);

// Writes the bytes of every range the assembly wrote into memory, ROM and
// unmapped addresses too (as a HEX file loads); the rest stays as it was.
void LoadAssembly(const AssemblyResult& result, BoardMemory& memory);
