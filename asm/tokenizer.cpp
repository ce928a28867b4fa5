#include "asm/tokenizer.h"

#include "asm/reserved_words.h"

namespace {

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '?' || c == '@' || c == '.';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNamePart(char c) { return IsNameStart(c) || IsDigit(c) || c == '$'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

class LineReader {
public:
    LineReader(std::string_view line, std::vector<Token>& tokens) : line_(line), tokens_(tokens) {}

    void Run() {
        tokens_.clear();
        while (true) {
            while (at_ < line_.size() && IsBlank(line_[at_])) ++at_;
            if (at_ >= line_.size() || line_[at_] == ';') {
                Emit(TokenKind::End, at_);
                return;
            }
            if (!Next()) return;
        }
    }

private:
    char Peek(std::size_t ahead = 0) const { return at_ + ahead < line_.size() ? line_[at_ + ahead] : '\0'; }

    Token& Emit(TokenKind kind, std::size_t start) {
        tokens_.emplace_back();
        Token& token = tokens_.back();
        token.kind = kind;
        token.column = static_cast<std::uint32_t>(start);
        token.length = static_cast<std::uint32_t>(at_ - start);
        return token;
    }

    bool Bad(std::size_t start, std::string message) {
        at_ = at_ > start ? at_ : start + 1;
        Emit(TokenKind::Bad, start).text = std::move(message);
        return false;
    }

    // Where a value is expected, '%' and '&' start numbers.
    bool ValueExpected() const {
        if (tokens_.empty()) return true;
        const Token& last = tokens_.back();
        switch (last.kind) {
            case TokenKind::Symbol: return last.text != ")" && last.text != "]";
            case TokenKind::Name: {
                const WordKind kind = KindOfWord(last.upper);
                return kind != WordKind::Name && kind != WordKind::Register;
            }
            default: return false;
        }
    }

    // Digits of a base, '$' between them ignored, as pasmo reads them.
    bool Digits(std::size_t start, std::string_view digits, int base, std::int64_t& value) {
        value = 0;
        bool any = false;
        for (char c : digits) {
            if (c == '$') continue;
            const int digit = DigitValue(c);
            if (digit >= base) return false;
            value = value * base + digit;
            if (value > kLargestNumber) {
                Bad(start, "the number '" + std::string(line_.substr(start, at_ - start)) + "' is too large");
                return false;
            }
            any = true;
        }
        return any;
    }

    bool NumberToken(std::size_t start, std::string_view digits, int base, const char* what) {
        std::int64_t value = 0;
        if (!Digits(start, digits, base, value)) {
            if (!tokens_.empty() && tokens_.back().kind == TokenKind::Bad) return false;
            return Bad(start, "'" + std::string(line_.substr(start, at_ - start)) + "' is not a number" + what);
        }
        Emit(TokenKind::Number, start).number = value;
        return true;
    }

    // A number that starts with a digit: 255, 0FFh, 1010b, 17o, 0x1F.
    bool DecimalStart(std::size_t start) {
        while (at_ < line_.size() && (IsAlnum(line_[at_]) || line_[at_] == '$')) ++at_;
        const std::string_view raw = line_.substr(start, at_ - start);
        if (raw.size() > 2 && raw[0] == '0' && (raw[1] == 'x' || raw[1] == 'X')) {
            return NumberToken(start, raw.substr(2), 16, "");
        }
        const char last = raw.back();
        const std::string_view body = raw.substr(0, raw.size() - 1);
        switch (last) {
            case 'h':
            case 'H': return NumberToken(start, body, 16, "");
            case 'b':
            case 'B': return NumberToken(start, body, 2, " (a B at the end marks a binary number)");
            case 'd':
            case 'D': return NumberToken(start, body, 10, "");
            case 'o':
            case 'O':
            case 'q':
            case 'Q': return NumberToken(start, body, 8, " (an O or Q at the end marks an octal number)");
            default: break;
        }
        return NumberToken(start, raw, 10, " (an H at the end marks a hexadecimal number)");
    }

    // After a prefix: $FF, #FF, %1010, &HFF.
    bool Prefixed(std::size_t start, std::size_t skip, int base) {
        at_ += skip;
        const std::size_t digits = at_;
        while (at_ < line_.size() && (IsAlnum(line_[at_]) || line_[at_] == '$')) ++at_;
        return NumberToken(start, line_.substr(digits, at_ - digits), base, "");
    }

    bool QuotedSingle(std::size_t start) {
        std::string text;
        ++at_;
        while (true) {
            if (at_ >= line_.size()) return Bad(start, "this string has no closing '");
            if (line_[at_] == '\'') {
                if (Peek(1) != '\'') break;
                ++at_;  // '' is one quote
            }
            text += line_[at_++];
        }
        ++at_;
        Emit(TokenKind::String, start).text = std::move(text);
        return true;
    }

    // "..." with C-like escapes: \n \r \t \a \\ \" \' \xHH and octal \ooo.
    bool QuotedDouble(std::size_t start) {
        std::string text;
        ++at_;
        while (true) {
            if (at_ >= line_.size()) return Bad(start, "this string has no closing \"");
            char c = line_[at_++];
            if (c == '"') break;
            if (c != '\\') {
                text += c;
                continue;
            }
            const std::size_t escape = at_ - 1;
            const char e = Peek();
            ++at_;
            switch (e) {
                case 'n': text += '\n'; continue;
                case 'r': text += '\r'; continue;
                case 't': text += '\t'; continue;
                case 'a': text += '\a'; continue;
                case '\\':
                case '"':
                case '\'': text += e; continue;
                default: break;
            }
            int value = 0;
            if (e == 'x' && DigitValue(Peek()) < 16 && DigitValue(Peek(1)) < 16) {
                value = DigitValue(Peek()) * 16 + DigitValue(Peek(1));
                at_ += 2;
            } else if (e >= '0' && e <= '7') {
                value = e - '0';
                for (int more = 0; more < 2 && Peek() >= '0' && Peek() <= '7'; ++more)
                    value = value * 8 + (line_[at_++] - '0');
                if (value > 255)
                    return Bad(escape,
                               "the escape '" + std::string(line_.substr(escape, at_ - escape)) + "' is above 255");
            } else {
                return Bad(escape, "unknown escape '\\" + std::string(1, e) +
                                       "' (known: \\n \\r \\t \\a \\\\ \\\" \\' \\xHH and octal \\ooo)");
            }
            text += static_cast<char>(value);
        }
        Emit(TokenKind::String, start).text = std::move(text);
        return true;
    }

    bool SymbolToken(std::size_t start) {
        static const char* const kPairs[] = {"<=", ">=", "!=", "==", "<<", ">>", "&&", "||", "<>"};
        for (const char* pair : kPairs) {
            if (Peek() == pair[0] && Peek(1) == pair[1]) {
                at_ += 2;
                Emit(TokenKind::Symbol, start).text = pair;
                return true;
            }
        }
        static const std::string_view kSingles = "+-*/%()[],:?!~&|^<>=";
        if (kSingles.find(Peek()) == std::string_view::npos) {
            const auto byte = static_cast<unsigned char>(Peek());
            if (byte < 0x20 || byte >= 0x7F) {
                static const char kHex[] = "0123456789ABCDEF";
                return Bad(start, std::string("unexpected byte ") + kHex[byte >> 4] + kHex[byte & 15] + "h");
            }
            return Bad(start, "unexpected character '" + std::string(1, Peek()) + "'");
        }
        ++at_;
        Emit(TokenKind::Symbol, start).text = std::string(1, line_[start]);
        return true;
    }

    bool Next() {
        const std::size_t start = at_;
        const char c = Peek();
        if (IsNameStart(c)) {
            std::string name;
            while (at_ < line_.size() && IsNamePart(line_[at_])) {
                if (line_[at_] != '$') name += line_[at_];
                ++at_;
            }
            if (Peek() == '\'' && UpperCase(name) == "AF") {
                ++at_;
                name += '\'';
            }
            Token& token = Emit(TokenKind::Name, start);
            token.upper = UpperCase(name);
            token.text = std::move(name);
            return true;
        }
        if (IsDigit(c)) return DecimalStart(start);
        if (c == '\'') return QuotedSingle(start);
        if (c == '"') return QuotedDouble(start);
        if (c == '$') {
            if (DigitValue(Peek(1)) < 16) return Prefixed(start, 1, 16);
            ++at_;
            Emit(TokenKind::Location, start);
            return true;
        }
        if (c == '#') {
            if (DigitValue(Peek(1)) < 16) return Prefixed(start, 1, 16);
            return Bad(start, "'#' must be followed by hexadecimal digits, as in #FF");
        }
        if (c == '%' && ValueExpected() && (Peek(1) == '0' || Peek(1) == '1')) return Prefixed(start, 1, 2);
        if (c == '&' && ValueExpected()) {
            const char kind = Peek(1);
            if (kind == 'h' || kind == 'H' || kind == 'x' || kind == 'X') return Prefixed(start, 2, 16);
            if (kind == 'o' || kind == 'O') return Prefixed(start, 2, 8);
            if (DigitValue(kind) < 16) return Prefixed(start, 1, 16);
        }
        return SymbolToken(start);
    }

    std::string_view line_;
    std::vector<Token>& tokens_;
    std::size_t at_ = 0;
};

}  // namespace

void TokenizeLine(std::string_view line, std::vector<Token>& tokens) { LineReader(line, tokens).Run(); }
