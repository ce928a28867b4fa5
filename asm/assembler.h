// tarvoasm: a Z80 assembler that reads pasmo's syntax. Sources come from
// memory, and an INCLUDE is read through the caller's callback, so the
// library makes no file system call of its own and builds for the page too.
// The instruction set is the one the disassembler reads from the decode
// tables (asm/instruction_table.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class AsmSeverity : std::uint8_t { Error, Warning };

struct AsmDiagnostic {
    AsmSeverity severity;
    std::string file;        // the name of the source the message is about; empty for a whole run
    unsigned line = 0;       // from 1; 0 when no line is concerned ("stopped after 50 errors")
    unsigned column = 0;     // from 1, a tab counting as one character; 0 with line 0
    std::string message;     // "unknown name 'strat'; did you mean 'start'?"
    std::string sourceLine;  // the text of that line, for the caret under it
};

struct AsmRange {
    std::uint16_t from;
    std::uint16_t to;  // included
};

enum class AsmSymbolKind : std::uint8_t { Label, Equ, Defl };

struct AsmSymbol {
    std::string name;
    std::int64_t value;  // a label is 0 to FFFFh; an EQU may be any value, -5 say
    AsmSymbolKind kind;
    unsigned file;  // index into AssemblyResult::files
    unsigned line;  // from 1
};

// One line of a source, in the order the assembler read them (an INCLUDE's
// lines follow the INCLUDE line).
struct AsmLine {
    unsigned file;          // index into AssemblyResult::files
    unsigned line;          // from 1
    std::uint32_t offset;   // of the line's text in its file's text
    std::uint32_t length;   // without the line end
    bool assembled;         // false: in a false IF branch, or after END
    std::uint16_t address;  // where its bytes start (the location counter when it has none)
    std::uint32_t size;     // bytes it puts into memory
    bool hasValue;          // EQU and DEFL lines: value holds the name's value
    std::int64_t value;
};

struct AsmSourceFile {
    std::string name;  // as given, or as the INCLUDE callback named it
    std::string text;
};

struct AssemblyResult {
    // The 64 KiB the program describes: unwritten bytes are 0, as in pasmo's images.
    std::vector<std::uint8_t> memory;
    std::vector<AsmRange> ranges;            // the bytes written, in address order, neighbours joined
    std::vector<AsmDiagnostic> diagnostics;  // in source order
    unsigned errors = 0;
    unsigned warnings = 0;
    std::vector<AsmSymbol> symbols;  // by name
    std::vector<AsmLine> lines;      // every line read; the line map is the lines with a size
    std::vector<AsmSourceFile> files;
    bool hasEntry = false;  // END with an address
    std::uint16_t entry = 0;
    bool hasOrigin = false;  // an ORG was assembled: origin is the address the first one set
    std::uint16_t origin = 0;

    bool Succeeded() const { return errors == 0; }
};

// What an INCLUDE gets from the caller: the text, and the name to show for
// it (a path relative to the including file, say); or, on refusal, why.
struct AsmIncludedFile {
    std::string name;
    std::string text;
    std::string refusal;  // "file not found", "INCLUDE is not available here"
};

// Reads the file an INCLUDE names (as written, quotes taken off). includer is
// the name of the file holding the INCLUDE. False refuses: refusal says why.
using AsmIncludeReader =
    std::function<bool(const std::string& written, const std::string& includer, AsmIncludedFile& file)>;

struct AsmOptions {
    AsmIncludeReader include;   // empty: every INCLUDE is refused
    unsigned maxErrors = 50;    // the run stops after this many errors
    unsigned maxWarnings = 50;  // more are counted but not kept
};

// Limits that keep a run bounded whatever the source: INCLUDE nesting, files
// read, and passes to settle values that depend on later lines.
constexpr unsigned kAsmMaxIncludeDepth = 16;
constexpr unsigned kAsmMaxIncludedFiles = 256;
constexpr unsigned kAsmMaxPasses = 16;

AssemblyResult Assemble(const std::string& fileName, const std::string& text, const AsmOptions& options = {});

// The text of a line as read.
std::string AsmLineText(const AssemblyResult& result, const AsmLine& line);
