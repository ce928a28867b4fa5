#include "asm/reserved_words.h"

#include <unordered_map>

#include "asm/instruction_table.h"

namespace {

struct NamedDirective {
    const char* name;
    Directive directive;
};

// pasmo's spellings; the unsupported ones are reserved so that a label cannot take their name.
// clang-format off
constexpr NamedDirective kDirectives[] = {
    {"ORG", Directive::Org},           {"EQU", Directive::Equ},           {"DEFL", Directive::Defl},
    {"DEFB", Directive::Defb},         {"DB", Directive::Defb},           {"DEFM", Directive::Defb},
    {"DEFW", Directive::Defw},         {"DW", Directive::Defw},           {"DEFS", Directive::Defs},
    {"DS", Directive::Defs},           {"END", Directive::End},           {"IF", Directive::If},
    {"ELSE", Directive::Else},         {"ENDIF", Directive::Endif},       {".ERROR", Directive::Error},
    {".WARNING", Directive::Warning},  {"INCLUDE", Directive::Include},
    {"MACRO", Directive::Unsupported}, {"ENDM", Directive::Unsupported},  {"REPT", Directive::Unsupported},
    {"IRP", Directive::Unsupported},   {"EXITM", Directive::Unsupported}, {".SHIFT", Directive::Unsupported},
    {"LOCAL", Directive::Unsupported}, {"PROC", Directive::Unsupported},  {"ENDP", Directive::Unsupported},
    {"PUBLIC", Directive::Unsupported}, {"INCBIN", Directive::Unsupported},
};
// clang-format on

constexpr const char* kDirectiveNames[] = {"ORG",  "EQU",   "DEFL",   "DEFB",     "DB",     "DEFM",
                                           "DEFW", "DW",    "DEFS",   "DS",       "END",    "IF",
                                           "ELSE", "ENDIF", ".ERROR", ".WARNING", "INCLUDE"};

constexpr const char* kOperatorWords[] = {"AND", "OR", "XOR", "NOT", "MOD",  "SHL", "SHR", "EQ",     "NE",
                                          "LT",  "LE", "GT",  "GE",  "HIGH", "LOW", "NUL", "DEFINED"};

}  // namespace

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

Directive DirectiveNamed(std::string_view upper) {
    for (const NamedDirective& d : kDirectives) {
        if (upper == d.name) return d.directive;
    }
    return Directive::None;
}

std::vector<std::pair<std::string, WordKind>> ReservedWords() {
    std::vector<std::pair<std::string, WordKind>> all;
    const InstructionTable& table = Z80Instructions();
    for (const char* word : kOperatorWords) all.emplace_back(word, WordKind::Operator);
    for (const std::string& mnemonic : table.Mnemonics()) all.emplace_back(mnemonic, WordKind::Mnemonic);
    for (const std::string& name : table.Registers()) all.emplace_back(name, WordKind::Register);
    for (const NamedDirective& d : kDirectives) all.emplace_back(d.name, WordKind::Directive);
    return all;
}

WordKind KindOfWord(const std::string& upper) {
    // One look-up for every name the parser meets. AND, OR and XOR are
    // operators and mnemonics: the later kind wins, and the expression parser
    // knows them by their place, the line parser as instructions.
    static const std::unordered_map<std::string, WordKind> words = [] {
        std::unordered_map<std::string, WordKind> all;
        for (const auto& [word, kind] : ReservedWords()) all[word] = kind;
        return all;
    }();
    const auto it = words.find(upper);
    return it == words.end() ? WordKind::Name : it->second;
}

const char* const* DirectiveNames(std::size_t& count) {
    count = sizeof kDirectiveNames / sizeof kDirectiveNames[0];
    return kDirectiveNames;
}
