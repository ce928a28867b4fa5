// Reads a source line into a statement: its label, its instruction and the
// instruction's form, or its directive and arguments. Messages wait in the
// assembly until the line is assembled (a line in a false IF branch says
// nothing, as in pasmo).
#include <string>
#include <vector>

#include "asm/assembly.h"

namespace {

bool IsSymbol(const Token& token, const char* text) { return token.kind == TokenKind::Symbol && token.text == text; }
bool EndsOperand(const Token& token) {
    return token.kind == TokenKind::End || token.kind == TokenKind::Bad || IsSymbol(token, ",");
}

std::string Describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::End: return "the end of the line";
        case TokenKind::Number: return "a number";
        case TokenKind::String: return "a string";
        case TokenKind::Location: return "'$'";
        default: return "'" + token.text + "'";
    }
}

// The shape of one instruction operand, for the form's key.
struct OperandShape {
    std::string key;         // "A", "(HL)", "(IX+d)", "(n)", "n"
    std::string literalKey;  // "(IX)" for an index register without offset: JP (IX) takes that
    Argument argument;
};

class LineParser {
public:
    LineParser(Assembly& a, Statement& s, const std::string& text) : a_(a), s_(s), text_(text), tokens_(a.tokens) {}

    void Run() {
        TokenizeLine(text_, tokens_);
        // pasmo passes over a line number in front: digits in column 1, then a blank.
        const Token& first = tokens_.front();
        if (first.kind == TokenKind::Number && first.column == 0 && first.length < text_.size() &&
            (text_[first.length] == ' ' || text_[first.length] == '\t') &&
            text_.find_first_not_of("0123456789") == first.length) {
            tokens_.erase(tokens_.begin());
        }
        s_.firstMessage = static_cast<std::uint32_t>(a_.messages.size());
        s_.firstArgument = static_cast<std::uint32_t>(a_.arguments.size());
        Parse();
        s_.messageCount = static_cast<std::uint32_t>(a_.messages.size()) - s_.firstMessage;
        s_.argumentCount = static_cast<std::uint32_t>(a_.arguments.size()) - s_.firstArgument;
    }

private:
    const Token& Tok() const { return tokens_[at_ < tokens_.size() ? at_ : tokens_.size() - 1]; }

    void Warn(std::uint32_t column, std::string message) {
        a_.messages.push_back({AsmSeverity::Warning, column, std::move(message)});
    }

    // The line's first error; the line is not assembled.
    void Fail(PendingMessage message) {
        if (s_.broken) return;
        s_.broken = true;
        a_.messages.push_back(std::move(message));
    }
    void Fail(std::uint32_t column, std::string message) { Fail({AsmSeverity::Error, column, std::move(message)}); }

    static PendingMessage WithMnemonicHint(PendingMessage message, const std::string& upper) {
        message.hint = Hint::Mnemonic;
        message.typed = upper;
        return message;
    }

    // A Bad token is the first error of its line.
    bool FailOnBad() {
        if (Tok().kind != TokenKind::Bad) return false;
        Fail(Tok().column, Tok().text);
        return true;
    }

    void Parse() {
        if (!ReadLabel() || Tok().kind == TokenKind::End) {
            FailOnBad();
            return;
        }
        if (FailOnBad()) return;
        const Token& op = Tok();
        if (op.kind != TokenKind::Name) {
            return Fail(op.column, "an instruction or directive is expected here, not " + Describe(op));
        }
        const std::string& upper = op.upper;
        s_.column = op.column;
        ++at_;
        switch (KindOfWord(upper)) {
            case WordKind::Directive: return ParseDirective(upper, op);
            case WordKind::Mnemonic: return Instruction(upper, op.column);
            case WordKind::Register: return Fail(op.column, "'" + op.text + "' is a register, not an instruction");
            case WordKind::Operator: return Fail(op.column, "'" + op.text + "' is an operator, not an instruction");
            case WordKind::Name: return UnknownInstruction(op);
        }
    }

    void UnknownInstruction(const Token& op) {
        Fail(WithMnemonicHint({AsmSeverity::Error, op.column, "unknown instruction '" + op.text + "'"}, op.upper));
    }

    // The label, if the line has one; false after an error.
    bool ReadLabel() {
        const Token& first = tokens_[0];
        if (first.kind != TokenKind::Name) return true;
        const Token& next = tokens_[1 < tokens_.size() ? 1 : 0];
        const std::string& upper = first.upper;
        const WordKind kind = KindOfWord(upper);
        const bool colon = IsSymbol(next, ":");
        if (kind != WordKind::Name) {
            const bool defines = next.kind == TokenKind::Name && (next.upper == "EQU" || next.upper == "DEFL");
            if (colon || defines) {
                Fail(first.column, "'" + first.text + "' is a reserved word and cannot be a name");
                return false;
            }
            return true;  // an instruction or directive, wherever it stands
        }
        // pasmo takes a first name as a label wherever it stands, a ':' or not.
        // Before anything but an instruction or directive it is more likely a
        // mistyped instruction ("lx a,5").
        if (!colon) {
            const WordKind following = next.kind == TokenKind::Name ? KindOfWord(next.upper) : WordKind::Name;
            if (next.kind == TokenKind::End) {
                if (first.column != 0) {
                    a_.messages.push_back(WithMnemonicHint(
                        {AsmSeverity::Warning, first.column,
                         "'" + first.text + "' alone on an indented line is taken as a label; write '" + first.text +
                             ":' if it is one"},
                        upper));
                }
            } else if (following != WordKind::Directive && following != WordKind::Mnemonic) {
                UnknownInstruction(first);
                return false;
            }
        }
        s_.label = a_.SymbolIndex(first.text);
        s_.labelColumn = first.column;
        at_ = colon ? 2 : 1;
        return true;
    }

    // An expression as an argument; false after an error.
    bool Expression(Argument& argument) {
        if (FailOnBad()) return false;
        argument.column = Tok().column;
        ExprParse parsed = ParseExpression(tokens_, at_, text_, a_.pool, a_);
        if (parsed.root == kNoExpr) {
            if (tokens_[at_ < tokens_.size() ? at_ : tokens_.size() - 1].kind == TokenKind::Bad) {
                FailOnBad();
            } else {
                Fail(parsed.error.column, parsed.error.text);
            }
            return false;
        }
        for (ExprMessage& warning : parsed.warnings) Warn(warning.column, std::move(warning.text));
        argument.expr = parsed.root;
        return true;
    }

    // What follows the last argument must be the end of the line.
    bool AtEnd(const char* what) {
        if (FailOnBad()) return false;
        if (Tok().kind == TokenKind::End) return true;
        Fail(Tok().column, "unexpected " + Describe(Tok()) + " after " + what);
        return false;
    }

    // Comma-separated expressions (DB strings too, when strings is set).
    void List(bool strings, const char* what) {
        do {
            Argument argument;
            if (FailOnBad()) return;
            if (EndsOperand(Tok())) return Fail(Tok().column, "a value is missing here");
            if (strings && Tok().kind == TokenKind::String && EndsOperand(tokens_[at_ + 1])) {
                argument.isString = true;
                argument.column = Tok().column;
                argument.bytes = Tok().text;
                ++at_;
                s_.size += static_cast<std::uint32_t>(argument.bytes.size());
            } else {
                if (!Expression(argument)) return;
                s_.size += s_.directive == Directive::Defw ? 2 : 1;
            }
            a_.arguments.push_back(std::move(argument));
        } while (IsSymbol(Tok(), ",") && ++at_ != 0);
        AtEnd(what);
    }

    // Arguments from min to max expressions.
    void Arguments(std::size_t min, std::size_t max, const std::string& directive, const char* form) {
        std::size_t count = 0;
        while (Tok().kind != TokenKind::End && count < max) {
            Argument argument;
            if (!Expression(argument)) return;
            a_.arguments.push_back(argument);
            ++count;
            if (!IsSymbol(Tok(), ",")) break;
            ++at_;
        }
        if (FailOnBad()) return;
        if (count < min || Tok().kind != TokenKind::End) {
            Fail(Tok().column, directive + " takes " + form);
        }
    }

    // The rest of the line as written, after the directive, without a comment.
    std::string RestOfLine(const Token& directive) const {
        std::string rest = text_.substr(directive.column + directive.length);
        const std::size_t comment = rest.find(';');
        if (comment != std::string::npos) rest.erase(comment);
        const std::size_t first = rest.find_first_not_of(" \t\r");
        if (first == std::string::npos) return "";
        const std::size_t last = rest.find_last_not_of(" \t\r");
        return rest.substr(first, last - first + 1);
    }

    void ParseDirective(const std::string& upper, const Token& op) {
        s_.directive = DirectiveNamed(upper);
        switch (s_.directive) {
            case Directive::Org: return Arguments(1, 1, upper, "one address: ORG 1800h");
            case Directive::Equ:
            case Directive::Defl:
                if (s_.label == kNone)
                    return Fail(op.column, upper + " needs a name before it: NAME " + upper + " value");
                return Arguments(1, 1, upper, "one value");
            case Directive::Defb: return List(true, "the values");
            case Directive::Defw: return List(false, "the values");
            case Directive::Defs:
                return Arguments(1, 2, upper, "a size and an optional fill byte: DEFS 10 or DEFS 10,0FFh");
            case Directive::End: return Arguments(0, 1, upper, "at most one value, the program's start");
            case Directive::If:
            case Directive::Else:
            case Directive::Endif:
                if (s_.label != kNone) Fail(s_.labelColumn, "a label cannot stand on an " + upper + " line");
                if (s_.directive == Directive::If) return Arguments(1, 1, upper, "one condition");
                AtEnd(upper.c_str());
                return;
            case Directive::Error:
            case Directive::Warning: s_.text = RestOfLine(op); return;
            case Directive::Include: return Include(op);
            case Directive::Unsupported:
                return Fail(op.column, "'" + op.text + "' is a pasmo directive that this assembler does not support");
            case Directive::None: return;
        }
    }

    void Include(const Token& op) {
        std::string rest = RestOfLine(op);
        if (rest.empty()) return Fail(op.column, "INCLUDE needs a file name");
        if (rest[0] == '"' || rest[0] == '\'') {
            const std::size_t close = rest.find(rest[0], 1);
            if (close == std::string::npos) return Fail(op.column, "the file name has no closing " + rest.substr(0, 1));
            if (close + 1 != rest.size()) return Fail(op.column, "unexpected text after the file name");
            s_.text = rest.substr(1, close - 1);
        } else {
            if (rest.find_first_of(" \t") != std::string::npos) {
                return Fail(op.column, "unexpected text after the file name (put a name with blanks in quotes)");
            }
            s_.text = rest;
        }
        if (s_.text.empty()) Fail(op.column, "INCLUDE needs a file name");
    }

    // Finds the bracket that closes the one at open, at the same depth.
    std::size_t Closing(std::size_t open) const {
        const std::string close = tokens_[open].text == "(" ? ")" : "]";
        int depth = 0;
        for (std::size_t i = open; i < tokens_.size(); ++i) {
            if (tokens_[i].kind != TokenKind::Symbol) continue;
            if (tokens_[i].text == tokens_[open].text) ++depth;
            if (tokens_[i].text == close && --depth == 0) return i;
        }
        return 0;
    }

    bool IsRegisterName(const Token& token, std::string& upper) const {
        if (token.kind != TokenKind::Name) return false;
        upper = token.upper;
        return KindOfWord(upper) == WordKind::Register;
    }

    // One operand: a register, a register in brackets, an index, an address
    // or port in brackets, or a value.
    bool Operand(OperandShape& shape) {
        if (FailOnBad()) return false;
        const Token& first = Tok();
        shape.argument.column = first.column;
        std::string upper;
        if (IsRegisterName(first, upper) && EndsOperand(tokens_[at_ + 1])) {
            shape.key = upper;
            ++at_;
            return true;
        }
        const bool bracket = IsSymbol(first, "(") || IsSymbol(first, "[");
        const std::size_t close = bracket ? Closing(at_) : 0;
        if (bracket && close == 0) {
            Fail(first.column, "this '" + first.text + "' has no closing '" + (first.text == "(" ? ")" : "]") + "'");
            return false;
        }
        if (close == 0 || !EndsOperand(tokens_[close + 1])) {
            shape.key = "n";
            return Expression(shape.argument);
        }
        const Token& inner = tokens_[at_ + 1];
        if (IsRegisterName(inner, upper) && close == at_ + 2) {
            shape.key = "(" + upper + ")";
            if (upper == "IX" || upper == "IY") {
                shape.literalKey = shape.key;
                shape.key = "(" + upper + "+d)";
            }
            at_ = close + 1;
            return true;
        }
        const bool index = IsRegisterName(inner, upper) && (upper == "IX" || upper == "IY") &&
                           (IsSymbol(tokens_[at_ + 2], "+") || IsSymbol(tokens_[at_ + 2], "-"));
        // (IX+d): the sign is read as pasmo reads it, as a prefix of the rest.
        at_ += index ? 2 : 1;
        if (!Expression(shape.argument)) return false;
        if (at_ != close) {
            Fail(Tok().column, "unexpected " + Describe(Tok()) + " before the closing bracket");
            return false;
        }
        ++at_;
        shape.key = index ? "(" + upper + "+d)" : "(n)";
        return true;
    }

    // The text of the instruction as written, for messages.
    std::string Written(std::uint32_t column) const {
        std::size_t end = column;
        for (const Token& token : tokens_) {
            if (token.kind != TokenKind::End && token.kind != TokenKind::Bad) end = token.column + token.length;
        }
        return text_.substr(column, end - column);
    }

    void Instruction(const std::string& mnemonic, std::uint32_t column) {
        const InstructionTable& table = Z80Instructions();
        std::vector<OperandShape> shapes;
        while (Tok().kind != TokenKind::End) {
            if (shapes.size() == 2) return Fail(Tok().column, "too many operands: a Z80 instruction has at most two");
            shapes.emplace_back();
            if (!Operand(shapes.back())) return;
            if (IsSymbol(Tok(), ",")) {
                ++at_;
                if (Tok().kind == TokenKind::End) return Fail(Tok().column, "an operand is missing after the ','");
            } else if (!AtEnd("the operand")) {
                return;
            }
        }
        // The key with the operands as given; then (IX) as (IX+0); then, as
        // pasmo does, a bracketed value as a plain one.
        auto keyOf = [&](bool literal, int plainAt) {
            std::string key = mnemonic;
            for (std::size_t k = 0; k < shapes.size(); ++k) {
                key += k == 0 ? " " : ",";
                if (static_cast<int>(k) == plainAt) {
                    key += "n";
                } else {
                    key += literal && !shapes[k].literalKey.empty() ? shapes[k].literalKey : shapes[k].key;
                }
            }
            return key;
        };
        const FormGroup* forms = table.Find(keyOf(true, -1));
        if (forms == nullptr) forms = table.Find(keyOf(false, -1));
        for (std::size_t k = 0; forms == nullptr && k < shapes.size(); ++k) {
            if (shapes[k].key != "(n)") continue;
            forms = table.Find(keyOf(false, static_cast<int>(k)));
            if (forms != nullptr) {
                Warn(shapes[k].argument.column, "the brackets are read as part of a value, as pasmo reads them: no " +
                                                    mnemonic + " form takes an address in brackets here");
            }
        }
        if (forms == nullptr) return NoSuchForm(mnemonic, keyOf(false, -1), shapes.size(), column);
        s_.forms = forms;
        s_.size = forms->front().length;
        for (OperandShape& shape : shapes) a_.arguments.push_back(std::move(shape.argument));
    }

    void NoSuchForm(const std::string& mnemonic, const std::string& key, std::size_t operands, std::uint32_t column) {
        PendingMessage message{AsmSeverity::Error, column, "there is no instruction '" + Written(column) + "'"};
        message.hint = Hint::Form;
        message.typed = key;
        message.mnemonic = mnemonic;
        message.operands = operands;
        Fail(std::move(message));
    }

    Assembly& a_;
    Statement& s_;
    const std::string& text_;
    std::vector<Token>& tokens_;
    std::size_t at_ = 0;
};

}  // namespace

void ParseStatement(Assembly& assembly, Statement& statement, const std::string& text) {
    LineParser(assembly, statement, text).Run();
}
