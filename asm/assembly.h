// The state of one run, shared by its steps: reading the lines
// (asm/line_parser.cpp), the passes (asm/passes.cpp) and the checks against
// the board's memory map (asm/board_checks.cpp).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "asm/assembler.h"
#include "asm/expression.h"
#include "asm/instruction_table.h"
#include "asm/reserved_words.h"
#include "asm/tokenizer.h"

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

struct Symbol {
    std::string name;
    std::int64_t value = 0;
    AsmSymbolKind kind = AsmSymbolKind::Label;
    bool known = false;               // it has a value, from this pass or an earlier one
    bool provisional = false;         // that value came from names defined further down
    unsigned pass = 0;                // the pass that last gave it a value
    std::uint32_t statement = kNone;  // the statement that defines it (the first one, for DEFL)
};

// An operand or a directive's argument.
struct Argument {
    std::uint32_t expr = kNoExpr;  // kNoExpr: a register, a string, or the 0 of (IX)
    std::uint32_t column = 0;
    bool isString = false;  // DB: bytes holds the characters
    std::string bytes;
};

// One source line, read once.
struct Statement {
    std::uint32_t line = 0;  // index into the run's lines
    std::uint32_t label = kNone;
    std::uint32_t labelColumn = 0;
    Directive directive = Directive::None;
    const FormGroup* forms = nullptr;  // an instruction
    std::uint32_t column = 0;          // where the instruction or directive starts
    std::uint32_t firstArgument = 0;
    std::uint32_t argumentCount = 0;
    std::uint32_t size = 0;  // bytes of an instruction, DB or DW
    std::string text;        // .ERROR and .WARNING: the message; INCLUDE: the name
    bool broken = false;     // a parse error: only its label (and IF structure) is used
    std::uint32_t firstMessage = 0;
    std::uint32_t messageCount = 0;
};

enum class Hint : std::uint8_t { None, Mnemonic, Form };

// A message found while reading a line, reported when the line is assembled;
// its hint (asm/hints.h) is worked out then.
struct PendingMessage {
    PendingMessage(AsmSeverity severity_, std::uint32_t column_, std::string text_)
        : severity(severity_), column(column_), text(std::move(text_)) {}

    AsmSeverity severity;
    std::uint32_t column;
    std::string text;
    Hint hint = Hint::None;
    std::string typed;     // Mnemonic: the word; Form: the key of the operands given
    std::string mnemonic;  // Form
    std::size_t operands = 0;
};

class Assembly : public NameResolver, public SymbolValues {
public:
    explicit Assembly(const AsmOptions& options);

    // NameResolver: the index of a name, entered on first sight.
    std::uint32_t SymbolIndex(const std::string& name) override;
    // SymbolValues, for the pass under way.
    SymbolState State(std::uint32_t symbol) const override;

    // A diagnostic about a statement (column from 0), when the final pass reports.
    void Report(std::uint32_t statement, AsmSeverity severity, std::uint32_t column, std::string message);
    // "unknown name 'x'; did you mean 'y'?"
    std::string UnknownName(std::uint32_t symbol) const;
    std::string LineText(std::uint32_t line) const;

    const AsmOptions& options;
    std::deque<AsmSourceFile> files;  // a deque: a file's text stays put while INCLUDEs are read
    std::vector<AsmLine> lines;
    std::vector<Statement> statements;
    std::vector<Argument> arguments;
    std::vector<PendingMessage> messages;
    std::vector<ExprNode> pool;
    std::vector<Symbol> symbols;
    std::unordered_map<std::string, std::uint32_t> symbolIndex;

    // The pass under way.
    unsigned pass = 0;
    bool final = false;
    bool stopped = false;  // the error limit was reached

    // Output of the final pass.
    std::vector<std::uint8_t> memory;
    std::vector<std::uint32_t> owner;  // the statement that wrote each address, or kNone
    std::vector<AsmRange> spans;       // what each write covered, in the order written
    std::vector<AsmRange> ranges;      // the spans sorted and joined, once the final pass is done
    std::vector<AsmDiagnostic> diagnostics;
    std::vector<std::uint32_t> diagnosticOrder;  // the statement of each, for sorting
    unsigned errors = 0;
    unsigned warnings = 0;
    bool hasEntry = false;
    std::uint16_t entry = 0;
    bool hasOrigin = false;
    std::uint16_t origin = 0;

    std::vector<Token> tokens;  // scratch for the line parser
};

// Reads one line into the statement; messages go to the assembly.
void ParseStatement(Assembly& assembly, Statement& statement, const std::string& text);

// One pass over every statement. The final pass writes memory and reports;
// the others only lay out addresses and values. Returns whether values that
// decide addresses or names depended on later lines (another pass may change them).
bool RunPass(Assembly& assembly, unsigned pass, bool final);

// Sorts and joins the final pass's spans into ranges.
void JoinSpans(Assembly& assembly);

// Warnings for bytes placed where the board cannot use them (after JoinSpans).
void CheckBoardPlacement(Assembly& assembly);
