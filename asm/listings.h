// The text forms of an assembly: messages, listing, symbol table, line map
// and the keypad listing. Lines end in '\n'.
#pragma once

#include <cstdint>
#include <string>

#include "asm/assembler.h"

// "counter.asm:12:9: error: unknown name 'strat'; did you mean 'start'?",
// then the source line and a caret under the column (tabs kept, so that it
// lines up however wide a tab is shown). A message about no line is one line.
std::string DiagnosticText(const AsmDiagnostic& diagnostic);

// Every line read: address, up to four bytes (more on the lines below it),
// line number and source. EQU and DEFL lines show "=" and the value.
// The symbol table follows.
std::string ListingText(const AssemblyResult& result);

// The names by name: value, kind (label, EQU, DEFL), and where each is defined.
std::string SymbolTableText(const AssemblyResult& result);

// One line for each line that put bytes into memory: address, size, FILE:LINE.
std::string LineMapText(const AssemblyResult& result);

// For each line with bytes, the monitor's keys that type them in: ADDR and
// the address where the typing does not simply go on, DATA, then each byte's
// two digits and +. Lines the keypad cannot reach (ROM, empty addresses) say
// so instead. The keys of all lines, in order, are what tarvorun --keys takes.
std::string KeypadListingText(const AssemblyResult& result);

// The line (index into result.lines) whose bytes hold address, the last one
// to write it; -1 when no line did.
long LineAtAddress(const AssemblyResult& result, std::uint16_t address);

// The index into result.lines of a file's line (both from 1 / 0 as in AsmLine);
// -1 when there is no such line.
long LineIndex(const AssemblyResult& result, unsigned file, unsigned line);
