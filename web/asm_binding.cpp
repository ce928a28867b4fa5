// The page's assembler: the editor's source in (through a file of the
// module's file system, since a source may be long), and out the messages,
// the line map, the listing and the bytes as an Intel HEX file, which the page
// then loads as it loads any HEX file.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <emscripten/emscripten.h>

#include "asm/assembler.h"
#include "asm/assembly_hex.h"
#include "asm/listings.h"
#include "asm/reserved_words.h"
#include "history/temporary_stops.h"
#include "web/page_assembly.h"
#include "web/web_board.h"

namespace {

AssemblyResult last;
std::string handedText;  // the last text handed to the script, alive until the next

const char* Hand(std::string text) {
    handedText = std::move(text);
    return handedText.c_str();
}

// The page's rule for Run from start: the label start, else the first ORG.
int StartAddress(const AssemblyResult& result, bool& fromLabel) {
    for (const AsmSymbol& symbol : result.symbols) {
        if (symbol.name == "start" && symbol.kind == AsmSymbolKind::Label) {
            fromLabel = true;
            return static_cast<int>(symbol.value);
        }
    }
    fromLabel = false;
    return result.hasOrigin ? result.origin : -1;
}

}  // namespace

extern "C" {

// Assembles the source in the file at path, under the given name; INCLUDE is
// refused. Returns the number of errors, or -1 when the file could not be read.
EMSCRIPTEN_KEEPALIVE int tarvo_assemble(const char* path, const char* name) {
    std::string text;
    if (!ReadWholeFile(path, text)) return -1;
    last = AssembleInPage(name, text);
    return static_cast<int>(last.errors);
}

// Errors, warnings, messages kept, lines of the source, the start address
// (-1: none) and 1 when it is the label start (0: the first ORG).
EMSCRIPTEN_KEEPALIVE const int* tarvo_assembly_summary() {
    static int summary[6];
    unsigned lineCount = 0;
    for (const AsmLine& line : last.lines) {
        if (line.file == 0 && line.line > lineCount) lineCount = line.line;
    }
    bool fromLabel = false;
    summary[0] = static_cast<int>(last.errors);
    summary[1] = static_cast<int>(last.warnings);
    summary[2] = static_cast<int>(last.diagnostics.size());
    summary[3] = static_cast<int>(lineCount);
    summary[4] = StartAddress(last, fromLabel);
    summary[5] = fromLabel ? 1 : 0;
    return summary;
}

// Two ints for each line of the source, line 1 first: the address of its
// bytes and how many it puts into memory (0 for none, or a line not assembled).
EMSCRIPTEN_KEEPALIVE const int* tarvo_assembly_lines() {
    static std::vector<int> table;
    table.assign(2 * static_cast<std::size_t>(tarvo_assembly_summary()[3]), 0);
    for (const AsmLine& line : last.lines) {
        if (line.file != 0 || line.line == 0) continue;
        const std::size_t at = 2 * static_cast<std::size_t>(line.line - 1);
        table[at] = line.address;
        table[at + 1] = line.assembled ? static_cast<int>(line.size) : 0;
    }
    return table.data();
}

// Message i: line (0: about no line), column, and 1 for an error, 0 for a warning.
EMSCRIPTEN_KEEPALIVE const int* tarvo_diagnostic_place(int i) {
    static int place[3];
    const AsmDiagnostic& d = last.diagnostics[static_cast<std::size_t>(i)];
    place[0] = static_cast<int>(d.line);
    place[1] = static_cast<int>(d.column);
    place[2] = d.severity == AsmSeverity::Error ? 1 : 0;
    return place;
}

EMSCRIPTEN_KEEPALIVE const char* tarvo_diagnostic_message(int i) {
    return last.diagnostics[static_cast<std::size_t>(i)].message.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* tarvo_assembly_listing() { return Hand(ListingText(last)); }

EMSCRIPTEN_KEEPALIVE const char* tarvo_assembly_symbols() { return Hand(SymbolTableText(last)); }

// Source-level Step: a temporary stop at the first byte of every line of the
// last assembly that put bytes into memory.
EMSCRIPTEN_KEEPALIVE void tarvo_stop_at_source_lines() {
    for (const AsmLine& line : last.lines) {
        if (line.assembled && line.size > 0) PageTemporaryStops().Add(line.address);
    }
}

// The bytes the last assembly wrote as an Intel HEX file at path: 0 written.
EMSCRIPTEN_KEEPALIVE int tarvo_write_assembly_hex(const char* path) { return WriteAssemblyHex(path, last); }

// The reserved words for the editor's colouring, a line each: a letter for
// the kind (D directive, O operator, M mnemonic, R register or condition), a
// blank, the word in upper case.
EMSCRIPTEN_KEEPALIVE const char* tarvo_asm_words() {
    std::string text;
    for (const auto& [word, kind] : ReservedWords()) {
        const char letter = kind == WordKind::Directive ? 'D'
                            : kind == WordKind::Operator ? 'O'
                            : kind == WordKind::Mnemonic ? 'M'
                                                         : 'R';
        text += letter;
        text += ' ';
        text += word;
        text += '\n';
    }
    return Hand(std::move(text));
}

}  // extern "C"
