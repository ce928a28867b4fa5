// Expressions: parsed once into a pool of nodes, evaluated in every pass.
//
// Operators and their order are pasmo's, loosest first:
//   ?:   HIGH LOW   ||   &&   OR | XOR ^   AND &   NOT ~ ! and unary + -
//   = == EQ  != <> NE  < LT  <= LE  > GT  >= GE   + -   * / MOD % SHL << SHR >>
// So a sign or NOT covers the whole comparison or sum after it ("-1+2" is
// -3, as pasmo has it); the parser warns where that reading differs from
// the usual one. Values are whole numbers, not 16-bit ones: NOT 40h is -65,
// and a value is checked against the range of the place it goes to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asm/tokenizer.h"

enum class ExprOp : std::uint8_t {
    Number,
    Symbol,
    Location,
    Negate,
    Plus,
    Not,
    LogicalNot,
    High,
    Low,
    Multiply,
    Divide,
    Modulo,
    ShiftLeft,
    ShiftRight,
    Add,
    Subtract,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    And,
    Or,
    Xor,
    LogicalAnd,
    LogicalOr,
    Conditional,
};

constexpr std::uint32_t kNoExpr = 0xFFFFFFFFu;

struct ExprNode {
    ExprOp op;
    bool parenthesized;
    std::uint16_t depth;    // of the tree below, bounded so that evaluation stays shallow
    std::uint32_t a, b, c;  // operands (kNoExpr where none); Symbol: a is the symbol's index
    std::int64_t value;     // Number
    std::uint32_t column;   // first character in the line
    std::uint32_t end;      // one past the last
};

// Where expressions find names: the assembler's symbol table.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    virtual std::uint32_t SymbolIndex(const std::string& name) = 0;
};

struct ExprMessage {
    std::uint32_t column;
    std::string text;
};

struct ExprParse {
    std::uint32_t root = kNoExpr;  // kNoExpr on an error
    std::vector<ExprMessage> warnings;
    ExprMessage error;  // when root is kNoExpr
};

// Parses tokens[at...] up to a ',', a closing bracket at depth 0, or the end;
// at is left on the token after the expression. line is the source text,
// for quoting parts of it in warnings.
ExprParse ParseExpression(const std::vector<Token>& tokens, std::size_t& at, const std::string& line,
                          std::vector<ExprNode>& pool, NameResolver& names);

// What evaluation needs to know about a symbol in the current pass.
struct SymbolState {
    bool known;    // it has a value (from this pass or the last one)
    bool current;  // defined in this pass above the place of use
    std::int64_t value;
};

class SymbolValues {
public:
    virtual ~SymbolValues() = default;
    virtual SymbolState State(std::uint32_t symbol) const = 0;
};

struct EvalResult {
    std::int64_t value = 0;
    bool known = true;                      // false: a name has no value yet
    bool forward = false;                   // a name used is defined further down (its value is the last pass's)
    std::uint32_t unknownSymbol = kNoExpr;  // the first name without a value
    std::uint32_t unknownColumn = 0;
    bool failed = false;  // division by zero, too large: message and column say so
    std::uint32_t column = 0;
    std::string message;
};

EvalResult Evaluate(const std::vector<ExprNode>& pool, std::uint32_t root, const SymbolValues& symbols,
                    std::int64_t location);

// The names an expression uses, in order (each once).
void CollectSymbols(const std::vector<ExprNode>& pool, std::uint32_t root, std::vector<std::uint32_t>& symbols);
