#include "exercises/json_value.h"

#include <cstdint>

namespace {

constexpr int kMostDepth = 64;

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) at_ = 3;
    }

    bool Document(JsonValue& value) {
        if (!Value(value, 0)) return false;
        SkipSpace();
        return at_ == text_.size() || Fail("text after the end of the document");
    }

    std::string error;

private:
    bool Fail(const std::string& why) {
        error = std::to_string(line_) + ":" + std::to_string(column_) + ": " + why;
        return false;
    }
    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    void Advance() {
        if (text_[at_] == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(text_[at_]) & 0xC0u) != 0x80u) {
            ++column_;  // a column a character, not a byte
        }
        ++at_;
    }
    void SkipSpace() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) Advance();
    }
    bool Literal(const char* word) {
        for (const char* c = word; *c != '\0'; ++c) {
            if (Peek() != *c) return Fail(std::string("expected '") + word + "'");
            Advance();
        }
        return true;
    }

    bool Value(JsonValue& value, int depth) {
        SkipSpace();
        value.line = line_;
        value.column = column_;
        if (AtEnd()) return Fail("the document ends where a value should be");
        switch (Peek()) {
            case '{': return Object(value, depth);
            case '[': return Array(value, depth);
            case '"': value.kind = JsonValue::Kind::String; return String(value.text);
            case 't':
                value.kind = JsonValue::Kind::Bool;
                value.boolean = true;
                return Literal("true");
            case 'f': value.kind = JsonValue::Kind::Bool; return Literal("false");
            case 'n': return Literal("null");
            default:
                if (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) return Number(value);
                return Fail(std::string("unexpected character '") + Peek() + "'");
        }
    }

    bool Nested(int depth) { return depth < kMostDepth || Fail("nested deeper than 64 levels"); }

    bool Object(JsonValue& value, int depth) {
        if (!Nested(depth)) return false;
        value.kind = JsonValue::Kind::Object;
        Advance();
        SkipSpace();
        if (Peek() == '}') {
            Advance();
            return true;
        }
        for (;;) {
            SkipSpace();
            if (Peek() != '"') return Fail("expected a name in double quotes");
            const int line = line_, column = column_;
            std::string name;
            if (!String(name)) return false;
            if (value.Member(name) != nullptr) {
                line_ = line;
                column_ = column;
                return Fail("the name \"" + name + "\" appears twice in this object");
            }
            SkipSpace();
            if (Peek() != ':') return Fail("expected ':' after the name");
            Advance();
            value.members.emplace_back(name, JsonValue{});
            if (!Value(value.members.back().second, depth + 1)) return false;
            SkipSpace();
            if (Peek() == ',') {
                Advance();
                continue;
            }
            if (Peek() == '}') {
                Advance();
                return true;
            }
            return Fail("expected ',' or '}' in the object");
        }
    }

    bool Array(JsonValue& value, int depth) {
        if (!Nested(depth)) return false;
        value.kind = JsonValue::Kind::Array;
        Advance();
        SkipSpace();
        if (Peek() == ']') {
            Advance();
            return true;
        }
        for (;;) {
            value.items.emplace_back();
            if (!Value(value.items.back(), depth + 1)) return false;
            SkipSpace();
            if (Peek() == ',') {
                Advance();
                continue;
            }
            if (Peek() == ']') {
                Advance();
                return true;
            }
            return Fail("expected ',' or ']' in the array");
        }
    }

    bool Number(JsonValue& value) {
        value.kind = JsonValue::Kind::Number;
        const std::size_t start = at_;
        auto digits = [&] {
            const std::size_t from = at_;
            while (Peek() >= '0' && Peek() <= '9') Advance();
            return at_ > from;
        };
        if (Peek() == '-') Advance();
        if (Peek() == '0') {
            Advance();
        } else if (!digits()) {
            return Fail("a number needs a digit here");
        }
        if (Peek() == '.') {
            Advance();
            if (!digits()) return Fail("a number needs a digit after '.'");
        }
        if (Peek() == 'e' || Peek() == 'E') {
            Advance();
            if (Peek() == '+' || Peek() == '-') Advance();
            if (!digits()) return Fail("a number needs a digit in its exponent");
        }
        value.text = text_.substr(start, at_ - start);
        return true;
    }

    bool Hex4(std::uint32_t& code) {
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Peek();
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) return Fail("\\u needs four hexadecimal digits");
            code = code * 16 + static_cast<std::uint32_t>(digit);
            Advance();
        }
        return true;
    }

    static void PutUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool Escape(std::string& out) {
        Advance();  // the backslash
        const char c = Peek();
        const char* const from = "\"\\/bfnrt";
        const char* const to = "\"\\/\b\f\n\r\t";
        for (int i = 0; from[i] != '\0'; ++i) {
            if (c == from[i]) {
                out += to[i];
                Advance();
                return true;
            }
        }
        if (c != 'u') return Fail("unknown escape in a string");
        Advance();
        std::uint32_t code = 0;
        if (!Hex4(code)) return false;
        if (code >= 0xD800 && code < 0xDC00) {  // a high surrogate: its low half must follow
            std::uint32_t low = 0;
            if (Peek() != '\\') return Fail("a lone surrogate in a \\u escape");
            Advance();
            if (Peek() != 'u') return Fail("a lone surrogate in a \\u escape");
            Advance();
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return Fail("a lone surrogate in a \\u escape");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
            return Fail("a lone surrogate in a \\u escape");
        }
        PutUtf8(out, code);
        return true;
    }

    bool String(std::string& out) {
        Advance();  // the opening quote
        for (;;) {
            if (AtEnd()) return Fail("the string is not closed");
            const char c = Peek();
            if (c == '"') {
                Advance();
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character (a line end?) inside a string");
            if (c == '\\') {
                if (!Escape(out)) return false;
                continue;
            }
            out += c;
            Advance();
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
    int line_ = 1;
    int column_ = 1;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& name) const {
    for (const auto& member : members) {
        if (member.first == name) return &member.second;
    }
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue& value, std::string& error) {
    Reader reader(text);
    value = JsonValue{};
    if (reader.Document(value)) return true;
    error = reader.error;
    return false;
}
