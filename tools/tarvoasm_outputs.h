// Writing what tarvoasm's options ask for, each file through a safe save.
#pragma once

#include <ostream>
#include <string>

#include "asm/assembler.h"
#include "tarvoasm_options.h"

// Writes the object file and the text outputs (a name of "-" goes to out).
// false with error set, naming the file and the reason, at the first failure.
bool WriteAsmOutputs(const AssemblyResult& result, const AsmToolOptions& options, std::ostream& out,
                     std::string& error);
