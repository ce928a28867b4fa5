// Assembling in the page, for Assemble and for Check alike: the source comes
// from the editor, never from the learner's disk, so INCLUDE is refused.
#pragma once

#include <string>

#include "asm/assembler.h"

AssemblyResult AssembleInPage(const std::string& name, const std::string& text);

// Reads a file of the module's file system whole (text the script handed
// over); false when it cannot.
bool ReadWholeFile(const char* path, std::string& text);
