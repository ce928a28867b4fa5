// An assembly's bytes as an Intel HEX file, one block of records for each
// range it wrote, through the writer of "Save hex file" (files/hex_file.h).
// The one part of asm/ that writes a file; the assembler proper reads and
// writes none.
#pragma once

#include "asm/assembler.h"
#include "files/file_error.h"

// Results as WriteHexFileRanges gives them: 0 saved, -1 the file could not be written.
int WriteAssemblyHex(const char* path, const AssemblyResult& result, FileError* error = nullptr);
