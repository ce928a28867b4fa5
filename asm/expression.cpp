#include "asm/expression.h"

#include "asm/reserved_words.h"

namespace {

// Nesting of parentheses and prefixes, and the depth of a tree: far beyond
// any program, and small enough for the recursion that reads them.
constexpr unsigned kMaxNesting = 64;
constexpr unsigned kMaxTreeDepth = 256;

struct BinaryOperator {
    const char* spelling;  // a symbol or an upper-case word
    ExprOp op;
};

// The binary levels, tightest first.
constexpr BinaryOperator kProducts[] = {
    {"*", ExprOp::Multiply},    {"/", ExprOp::Divide},     {"MOD", ExprOp::Modulo},     {"%", ExprOp::Modulo},
    {"SHL", ExprOp::ShiftLeft}, {"<<", ExprOp::ShiftLeft}, {"SHR", ExprOp::ShiftRight}, {">>", ExprOp::ShiftRight}};
constexpr BinaryOperator kSums[] = {{"+", ExprOp::Add}, {"-", ExprOp::Subtract}};
constexpr BinaryOperator kComparisons[] = {
    {"=", ExprOp::Equal},         {"==", ExprOp::Equal},       {"EQ", ExprOp::Equal},  {"!=", ExprOp::NotEqual},
    {"<>", ExprOp::NotEqual},     {"NE", ExprOp::NotEqual},    {"<", ExprOp::Less},    {"LT", ExprOp::Less},
    {"<=", ExprOp::LessEqual},    {"LE", ExprOp::LessEqual},   {">", ExprOp::Greater}, {"GT", ExprOp::Greater},
    {">=", ExprOp::GreaterEqual}, {"GE", ExprOp::GreaterEqual}};
constexpr BinaryOperator kAnds[] = {{"AND", ExprOp::And}, {"&", ExprOp::And}};
constexpr BinaryOperator kOrs[] = {{"OR", ExprOp::Or}, {"|", ExprOp::Or}, {"XOR", ExprOp::Xor}, {"^", ExprOp::Xor}};
constexpr BinaryOperator kLogicalAnds[] = {{"&&", ExprOp::LogicalAnd}};
constexpr BinaryOperator kLogicalOrs[] = {{"||", ExprOp::LogicalOr}};

bool IsBinary(ExprOp op) { return op >= ExprOp::Multiply && op <= ExprOp::LogicalOr; }

class Parser {
public:
    Parser(const std::vector<Token>& tokens, std::size_t& at, const std::string& line, std::vector<ExprNode>& pool,
           NameResolver& names, ExprParse& result)
        : tokens_(tokens), at_(at), line_(line), pool_(pool), names_(names), result_(result) {}

    std::uint32_t Run() { return Conditional(); }

private:
    const Token& Current() const { return tokens_[at_ < tokens_.size() ? at_ : tokens_.size() - 1]; }

    // The token's spelling as an operator: a symbol, or a word in upper case.
    static const std::string& Spelling(const Token& token) {
        static const std::string kNone;
        if (token.kind == TokenKind::Symbol) return token.text;
        if (token.kind == TokenKind::Name) return token.upper;
        return kNone;
    }

    bool Is(const char* spelling) const { return Spelling(Current()) == spelling; }

    std::uint32_t Fail(std::uint32_t column, std::string message) {
        if (!failed_) {
            failed_ = true;
            result_.error = {column, std::move(message)};
        }
        return kNoExpr;
    }

    std::uint32_t Node(ExprOp op, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t column,
                       std::uint32_t end) {
        unsigned depth = 0;
        for (std::uint32_t child : {a, b, c}) {
            if (child != kNoExpr && pool_[child].depth > depth) depth = pool_[child].depth;
        }
        if (depth + 1 > kMaxTreeDepth)
            return Fail(column, "this expression is too long (more than 256 operators deep)");
        pool_.push_back({op, false, static_cast<std::uint16_t>(depth + 1), a, b, c, 0, column, end});
        return static_cast<std::uint32_t>(pool_.size() - 1);
    }

    std::string Quote(std::uint32_t node) const {
        const ExprNode& n = pool_[node];
        return "'" + line_.substr(n.column, n.end - n.column) + "'";
    }

    // pasmo's prefixes take everything up to the next looser operator; say so
    // where that differs from what the eye expects.
    void WarnOnReach(const Token& prefix, std::uint32_t operand) {
        const ExprNode& n = pool_[operand];
        if (n.parenthesized || !IsBinary(n.op)) return;
        const std::string word = Spelling(prefix);
        // -(a*b) is (-a)*b, -(a/b) is (-a)/b, and a plus sign changes nothing.
        if ((word == "-" || word == "+") && (n.op == ExprOp::Multiply || n.op == ExprOp::Divide || word == "+")) {
            return;
        }
        result_.warnings.push_back({prefix.column, "'" + word + "' applies to all of " + Quote(operand) +
                                                       ", as pasmo reads it; add parentheses to show what you mean"});
    }

    template <std::size_t N>
    const BinaryOperator* Match(const BinaryOperator (&level)[N]) const {
        const std::string& spelling = Spelling(Current());
        if (spelling.empty()) return nullptr;
        for (const BinaryOperator& candidate : level) {
            if (spelling == candidate.spelling) return &candidate;
        }
        return nullptr;
    }

    template <std::size_t N, typename Next>
    std::uint32_t Level(const BinaryOperator (&level)[N], Next next) {
        std::uint32_t left = next();
        while (left != kNoExpr) {
            const BinaryOperator* op = Match(level);
            if (op == nullptr) break;
            ++at_;
            const std::uint32_t right = next();
            if (right == kNoExpr) return kNoExpr;
            left = Node(op->op, left, right, kNoExpr, pool_[left].column, pool_[right].end);
        }
        return left;
    }

    std::uint32_t Conditional() {
        if (++nesting_ > kMaxNesting) return Fail(Current().column, "this expression is nested too deeply");
        std::uint32_t test = HighLow();
        if (test != kNoExpr && Is("?")) {
            ++at_;
            const std::uint32_t yes = Conditional();
            if (yes == kNoExpr) return kNoExpr;
            if (!Is(":")) return Fail(Current().column, "':' expected: a ? b : c");
            ++at_;
            const std::uint32_t no = Conditional();
            if (no == kNoExpr) return kNoExpr;
            test = Node(ExprOp::Conditional, test, yes, no, pool_[test].column, pool_[no].end);
        }
        --nesting_;
        return test;
    }

    std::uint32_t HighLow() {
        if (Is("HIGH")) return Prefixed(ExprOp::High, &Parser::HighLow);
        if (Is("LOW")) return Prefixed(ExprOp::Low, &Parser::HighLow);
        return LogicalOr();
    }

    std::uint32_t LogicalOr() {
        return Level(kLogicalOrs, [this] { return LogicalAnd(); });
    }
    std::uint32_t LogicalAnd() {
        return Level(kLogicalAnds, [this] { return Or(); });
    }
    std::uint32_t Or() {
        return Level(kOrs, [this] { return And(); });
    }
    std::uint32_t And() {
        return Level(kAnds, [this] { return Unary(); });
    }

    // Kept on purpose: pasmo's order, a prefix takes the comparison or sum after it.
    std::uint32_t Unary() {
        if (Is("-")) return Prefixed(ExprOp::Negate, &Parser::Unary);
        if (Is("+")) return Prefixed(ExprOp::Plus, &Parser::Unary);
        if (Is("NOT") || Is("~")) return Prefixed(ExprOp::Not, &Parser::Unary);
        if (Is("!")) return Prefixed(ExprOp::LogicalNot, &Parser::Unary);
        return Comparison();
    }

    // A prefix operator on the current token, applied to what its level reads next.
    std::uint32_t Prefixed(ExprOp op, std::uint32_t (Parser::*level)()) {
        const Token& prefix = Current();
        ++at_;
        if (++nesting_ > kMaxNesting) return Fail(prefix.column, "this expression is nested too deeply");
        const std::uint32_t operand = (this->*level)();
        --nesting_;
        if (operand == kNoExpr) return kNoExpr;
        WarnOnReach(prefix, operand);
        return Node(op, operand, kNoExpr, kNoExpr, prefix.column, pool_[operand].end);
    }

    std::uint32_t Comparison() {
        return Level(kComparisons, [this] { return Sum(); });
    }
    std::uint32_t Sum() {
        return Level(kSums, [this] { return Product(); });
    }
    std::uint32_t Product() {
        return Level(kProducts, [this] { return Primary(); });
    }

    std::uint32_t Primary() {
        const Token& token = Current();
        const std::uint32_t end = token.column + token.length;
        switch (token.kind) {
            case TokenKind::Number: {
                ++at_;
                const std::uint32_t node = Node(ExprOp::Number, kNoExpr, kNoExpr, kNoExpr, token.column, end);
                if (node != kNoExpr) pool_[node].value = token.number;
                return node;
            }
            case TokenKind::String: {
                if (token.text.size() != 1) {
                    return Fail(token.column, "a string of " + std::to_string(token.text.size()) +
                                                  " characters is not a value; only one character is ('A')");
                }
                ++at_;
                const std::uint32_t node = Node(ExprOp::Number, kNoExpr, kNoExpr, kNoExpr, token.column, end);
                if (node != kNoExpr) pool_[node].value = static_cast<unsigned char>(token.text[0]);
                return node;
            }
            case TokenKind::Location:
                ++at_;
                return Node(ExprOp::Location, kNoExpr, kNoExpr, kNoExpr, token.column, end);
            case TokenKind::Name: return Name(token);
            case TokenKind::Symbol: break;
            default: return Fail(token.column, "a value is missing here");
        }
        if (token.text == "(") {
            ++at_;
            const std::uint32_t inner = Conditional();
            if (inner == kNoExpr) return kNoExpr;
            if (!Is(")"))
                return Fail(Current().column,
                            "')' expected to close the '(' at column " + std::to_string(token.column + 1));
            pool_[inner].parenthesized = true;
            pool_[inner].column = token.column;
            pool_[inner].end = Current().column + 1;
            ++at_;
            return inner;
        }
        if (token.text == "-" || token.text == "+" || token.text == "~" || token.text == "!") {
            return Fail(token.column, "'" + token.text + "' after an operator needs parentheses here, as in 2*(-1)");
        }
        return Fail(token.column, token.text == "," || token.text == ")" ? "a value is missing here"
                                                                         : "'" + token.text + "' cannot start a value");
    }

    std::uint32_t Name(const Token& token) {
        const std::string& upper = token.upper;
        switch (KindOfWord(upper)) {
            case WordKind::Name: {
                ++at_;
                const std::uint32_t node =
                    Node(ExprOp::Symbol, kNoExpr, kNoExpr, kNoExpr, token.column, token.column + token.length);
                if (node != kNoExpr) pool_[node].a = names_.SymbolIndex(token.text);  // a symbol, not a child
                return node;
            }
            case WordKind::Register:
                return Fail(token.column, "'" + token.text + "' is a register and cannot be part of a value here");
            case WordKind::Operator:
                if (upper == "NOT" || upper == "HIGH" || upper == "LOW") {
                    return Fail(token.column,
                                upper + " after an operator needs parentheses here, as in 1+(" + upper + " 5)");
                }
                return Fail(token.column, "a value is missing before " + upper);
            case WordKind::Mnemonic: return Fail(token.column, "'" + token.text + "' is an instruction, not a value");
            case WordKind::Directive: return Fail(token.column, "'" + token.text + "' is a directive, not a value");
        }
        return kNoExpr;
    }

    const std::vector<Token>& tokens_;
    std::size_t& at_;
    const std::string& line_;
    std::vector<ExprNode>& pool_;
    NameResolver& names_;
    ExprParse& result_;
    unsigned nesting_ = 0;
    bool failed_ = false;
};

class Evaluator {
public:
    Evaluator(const std::vector<ExprNode>& pool, const SymbolValues& symbols, std::int64_t location, EvalResult& result)
        : pool_(pool), symbols_(symbols), location_(location), result_(result) {}

    // The value of a node; unknown names give 0 and clear result.known.
    std::int64_t Value(std::uint32_t index) {
        const ExprNode& n = pool_[index];
        switch (n.op) {
            case ExprOp::Number: return n.value;
            case ExprOp::Location: return location_;
            case ExprOp::Symbol: {
                const SymbolState state = symbols_.State(n.a);
                if (!state.known) {
                    if (result_.known) {
                        result_.unknownSymbol = n.a;
                        result_.unknownColumn = n.column;
                    }
                    result_.known = false;
                    return 0;
                }
                if (!state.current) result_.forward = true;
                return state.value;
            }
            case ExprOp::LogicalAnd: {
                const std::int64_t a = Value(n.a);
                return result_.known && a == 0 ? 0 : Truth(Value(n.b) != 0 && a != 0);
            }
            case ExprOp::LogicalOr: {
                const std::int64_t a = Value(n.a);
                return result_.known && a != 0 ? -1 : Truth(Value(n.b) != 0 || a != 0);
            }
            case ExprOp::Conditional: return Value(n.a) != 0 ? Value(n.b) : Value(n.c);
            default: break;
        }
        const std::int64_t a = Value(n.a);
        if (n.b == kNoExpr) return Checked(n, Unary(n, a));
        const std::int64_t b = Value(n.b);
        return Checked(n, Binary(n, a, b));
    }

private:
    static std::int64_t Truth(bool value) { return value ? -1 : 0; }

    bool Fail(const ExprNode& n, std::string message) {
        if (!result_.failed && result_.known) {
            result_.failed = true;
            result_.column = n.column;
            result_.message = std::move(message);
        }
        return false;
    }

    std::int64_t Checked(const ExprNode& n, std::int64_t value) {
        if (value > kLargestNumber || value < -kLargestNumber) {
            Fail(n, "the value is too large (more than 32 bits)");
            return 0;
        }
        return value;
    }

    std::int64_t Unary(const ExprNode& n, std::int64_t a) {
        switch (n.op) {
            case ExprOp::Negate: return -a;
            case ExprOp::Plus: return a;
            case ExprOp::Not: return ~a;
            case ExprOp::LogicalNot: return Truth(a == 0);
            case ExprOp::High:
            case ExprOp::Low:
                if (a < -0x8000 || a > 0xFFFF) {
                    Fail(n, std::string(n.op == ExprOp::High ? "HIGH" : "LOW") + " needs a 16-bit value, not " +
                                std::to_string(a));
                    return 0;
                }
                return n.op == ExprOp::High ? (a & 0xFFFF) >> 8 : a & 0xFF;
            default: return 0;
        }
    }

    std::int64_t Binary(const ExprNode& n, std::int64_t a, std::int64_t b) {
        const std::int64_t magnitudeA = a < 0 ? -a : a;
        const std::int64_t magnitudeB = b < 0 ? -b : b;
        switch (n.op) {
            case ExprOp::Multiply:
                if (magnitudeA != 0 && magnitudeB > kLargestNumber / magnitudeA) {
                    Fail(n, "the value is too large (more than 32 bits)");
                    return 0;
                }
                return a * b;
            case ExprOp::Divide:
            case ExprOp::Modulo:
                if (b == 0) {
                    if (result_.known) Fail(n, "division by zero");
                    return 0;
                }
                return n.op == ExprOp::Divide ? a / b : a % b;
            case ExprOp::ShiftLeft:
                if (b < 0) {
                    Fail(n, "a shift count cannot be negative");
                    return 0;
                }
                if (a == 0) return 0;
                if (b > 32 || magnitudeA > (kLargestNumber >> b)) {
                    Fail(n, "the value is too large (more than 32 bits)");
                    return 0;
                }
                return a * (std::int64_t{1} << b);
            case ExprOp::ShiftRight:
                if (b < 0) {
                    Fail(n, "a shift count cannot be negative");
                    return 0;
                }
                // pasmo shifts a negative value as its 16 bits: -2 SHR 1 is 7FFFh.
                return b > 40 ? 0 : (a < 0 ? a & 0xFFFF : a) >> b;
            case ExprOp::Add: return a + b;
            case ExprOp::Subtract: return a - b;
            case ExprOp::Equal: return Truth(a == b);
            case ExprOp::NotEqual: return Truth(a != b);
            case ExprOp::Less: return Truth(a < b);
            case ExprOp::LessEqual: return Truth(a <= b);
            case ExprOp::Greater: return Truth(a > b);
            case ExprOp::GreaterEqual: return Truth(a >= b);
            case ExprOp::And: return a & b;
            case ExprOp::Or: return a | b;
            case ExprOp::Xor: return a ^ b;
            default: return 0;
        }
    }

    const std::vector<ExprNode>& pool_;
    const SymbolValues& symbols_;
    std::int64_t location_;
    EvalResult& result_;
};

}  // namespace

ExprParse ParseExpression(const std::vector<Token>& tokens, std::size_t& at, const std::string& line,
                          std::vector<ExprNode>& pool, NameResolver& names) {
    ExprParse result;
    const std::size_t poolSize = pool.size();
    result.root = Parser(tokens, at, line, pool, names, result).Run();
    if (result.root == kNoExpr) {
        pool.resize(poolSize);  // nothing of a failed expression stays
        result.warnings.clear();
    }
    return result;
}

EvalResult Evaluate(const std::vector<ExprNode>& pool, std::uint32_t root, const SymbolValues& symbols,
                    std::int64_t location) {
    EvalResult result;
    result.value = Evaluator(pool, symbols, location, result).Value(root);
    if (!result.known || result.failed) result.value = 0;
    return result;
}

void CollectSymbols(const std::vector<ExprNode>& pool, std::uint32_t root, std::vector<std::uint32_t>& symbols) {
    const ExprNode& n = pool[root];
    if (n.op == ExprOp::Symbol) {
        for (std::uint32_t known : symbols) {
            if (known == n.a) return;
        }
        symbols.push_back(n.a);
        return;
    }
    if (n.op == ExprOp::Number || n.op == ExprOp::Location) return;
    for (std::uint32_t child : {n.a, n.b, n.c}) {
        if (child != kNoExpr) CollectSymbols(pool, child, symbols);
    }
}
