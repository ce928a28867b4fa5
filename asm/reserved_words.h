// The words a source cannot use as names, in any case: directives, operator
// words, and the instruction set's mnemonics, registers and conditions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class Directive : std::uint8_t {
    None,
    Org,
    Equ,
    Defl,
    Defb,  // DEFB, DB, DEFM
    Defw,  // DEFW, DW
    Defs,  // DEFS, DS
    End,
    If,
    Else,
    Endif,
    Error,    // .ERROR
    Warning,  // .WARNING
    Include,
    Unsupported,  // pasmo's macros and the like: MACRO, REPT, PROC, INCBIN...
};

std::string UpperCase(std::string_view text);

// The directive a word names (upper case), or None.
Directive DirectiveNamed(std::string_view upper);

enum class WordKind : std::uint8_t {
    Name,       // free for labels and EQUs
    Directive,  // ORG, DB, .ERROR ...
    Operator,   // AND, OR, XOR, NOT, MOD, SHL, SHR, EQ, NE, LT, LE, GT, GE, HIGH, LOW ...
    Mnemonic,   // LD, JR, SLL ...
    Register,   // registers and conditions: A, HL, AF', IXH, NZ, PO ...
};

// What a word is (upper case).
WordKind KindOfWord(const std::string& upper);

// Every reserved word (upper case) with its kind, for an editor's colouring.
std::vector<std::pair<std::string, WordKind>> ReservedWords();

// Directive names for "did you mean" hints, upper case.
const char* const* DirectiveNames(std::size_t& count);
