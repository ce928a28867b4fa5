// The tokens of one source line, each with its column. Numbers in pasmo's
// forms: 255, 0FFh, $FF, 0xFF, #FF, %1010, 1010b, 17o, &HFF. '%' and '&' read
// as a number only where a value is expected (after an operator, a comma, an
// opening parenthesis, or an instruction); elsewhere they are MOD and AND.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TokenKind : std::uint8_t {
    End,       // the end of the line, or a ';' comment
    Name,      // text: as written, '$' taken out; "AF'" is one name
    Number,    // number
    String,    // text: the characters, escapes resolved
    Location,  // $
    Symbol,    // text: the operator or punctuation: "(", "<=", ","
    Bad,       // text: what is wrong; the line stops here
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::uint32_t column = 0;  // offset of the first character in the line
    std::uint32_t length = 0;  // characters it takes in the line
    std::int64_t number = 0;
    std::string text;
    std::string upper;  // Name: the text in upper case, as words are compared
};

// Numbers above this are refused when read; expressions keep their values
// within it too (asm/expression.h).
constexpr std::int64_t kLargestNumber = 0xFFFFFFFFll;

// Replaces tokens with those of the line; the last one is End or Bad.
void TokenizeLine(std::string_view line, std::vector<Token>& tokens);
