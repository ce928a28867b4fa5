// Numbers and expressions: pasmo's number forms, its operators and their
// order, and the errors a value can have. The 16-bit values were checked
// against Debian's pasmo (DW of each expression).
#include <string>

#include <gtest/gtest.h>

#include "tests/asm/assemble_text.h"

namespace {

struct Case {
    const char* expression;
    std::int64_t value;
};

void ExpectValues(const Case* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const AssemblyResult r = AssembleText("\tORG 1800h\nX\tEQU " + std::string(cases[i].expression) + "\n");
        EXPECT_EQ(r.errors, 0u) << cases[i].expression << "\n" << Messages(r);
        EXPECT_EQ(ValueOf(r, "X"), cases[i].value) << cases[i].expression;
    }
}

TEST(AsmExpressions, NumbersInEveryFormPasmoReads) {
    const Case cases[] = {
        {"255", 255},  {"0FFh", 255}, {"0ffH", 255},     {"$FF", 255},    {"0xFF", 255}, {"#FF", 255},    {"%1010", 10},
        {"1010b", 10}, {"17o", 15},   {"17q", 15},       {"12d", 12},     {"&HFF", 255}, {"&O17", 15},    {"'c'", 99},
        {"\"c\"", 99}, {"''''", 39},  {"0FFFFh", 65535}, {"1$000", 1000}, {"$", 0x1800}, {"$+2", 0x1802},
    };
    ExpectValues(cases, sizeof cases / sizeof cases[0]);
}

TEST(AsmExpressions, OperatorsInPasmosOrder) {
    // clang-format off
    const Case cases[] = {
        {"7 MOD 3", 1},       {"7 % 3", 1},        {"1 SHL 4", 16},      {"1 << 4", 16},
        {"100h SHR 4", 16},   {"100h >> 4", 16},   {"6 AND 3", 2},       {"6 & 3", 2},
        {"6 OR 1", 7},        {"6 | 1", 7},        {"6 XOR 3", 5},       {"6 ^ 3", 5},
        {"NOT 0", -1},        {"~0", -1},          {"NOT 40h", -65},     {"!5", 0},
        {"HIGH 1234h", 0x12}, {"LOW 1234h", 0x34}, {"LOW -1", 0xFF},     {"2 = 2", -1},
        {"2 == 2", -1},       {"2 <> 3", -1},      {"2 NE 2", 0},        {"2 < 3", -1},
        {"3 <= 2", 0},        {"3 GT 2", -1},      {"3 GE 4", 0},        {"(1+2)*3", 9},
        {"2+3*4", 14},        {"5-3-1", 1},        {"8/2/2", 2},         {"1 ? 2 : 3", 2},
        {"0 ? 2 : 3+1", 4},   {"0 || 3", -1},      {"1 && 0", 0},        {"0 && 1/0", 0},
        // pasmo's order: prefixes and HIGH/LOW take all that binds tighter.
        {"-1+2", -3},         {"NOT 1+1", -3},     {"HIGH 1234h+1", 0x12}, {"LOW 12FFh+1", 0},
        {"1 AND 3 = 3", 1},   {"5 OR 2 AND 1", 5}, {"5 XOR 3 OR 8", 14}, {"-4/2", -2},
        // A negative value shifts right as its 16 bits, as in pasmo.
        {"(-2) SHR 1", 0x7FFF},
    };
    // clang-format on
    ExpectValues(cases, sizeof cases / sizeof cases[0]);
}

TEST(AsmExpressions, APrefixOverASumWarnsWhereTheReadingsDiffer) {
    const AssemblyResult warned = AssembleText("\tORG 1800h\n\tLD A,-1+2\n\tLD A,HIGH 1234h+1\n\tLD A,(IX-2+3)\n");
    EXPECT_EQ(warned.errors, 0u);
    ASSERT_EQ(warned.warnings, 3u) << Messages(warned);
    EXPECT_EQ(warned.diagnostics[0].line, 2u);
    EXPECT_EQ(warned.diagnostics[0].column, 7u);
    EXPECT_NE(warned.diagnostics[0].message.find("'-' applies to all of '1+2'"), std::string::npos);
    EXPECT_EQ(BytesAt(warned, 0x1800, 7), (std::vector<std::uint8_t>{0x3E, 0xFD, 0x3E, 0x12, 0xDD, 0x7E, 0xFB}));

    const AssemblyResult quiet =
        AssembleText("\tORG 1800h\n\tLD A,-2*3\n\tLD A,(-1)+2\n\tLD A,-(1+2)\n\tAND NOT 40h\n");
    EXPECT_EQ(quiet.warnings, 0u) << Messages(quiet);
    EXPECT_EQ(BytesAt(quiet, 0x1800, 8), (std::vector<std::uint8_t>{0x3E, 0xFA, 0x3E, 0x01, 0x3E, 0xFD, 0xE6, 0xBF}));
}

TEST(AsmExpressions, BadValuesAreErrorsAtTheirColumn) {
    struct Bad {
        const char* expression;
        unsigned column;  // in "X\tEQU " + expression, tabs counting one
        const char* message;
    };
    const Bad cases[] = {
        {"1/0", 7, "division by zero"},
        {"2 + -1", 11, "'-' after an operator needs parentheses"},
        {"1 + HIGH 5", 11, "HIGH after an operator needs parentheses"},
        {"'ab'", 7, "a string of 2 characters is not a value"},
        {"10000h*10000h", 7, "too large"},
        {"A+1", 7, "'A' is a register"},
        {"FFh", 7, "unknown name 'FFh'; a hexadecimal number must start with a digit: 0FFh"},
        {"(1+2", 11, "')' expected"},
        {"12G", 7, "'12G' is not a number"},
        {"1010b2", 7, "not a number"},
        {"\"a\\q\"", 9, "unknown escape '\\q'"},
        {"'abc", 7, "no closing '"},
    };
    for (const Bad& bad : cases) {
        const AssemblyResult r = AssembleText("X\tEQU " + std::string(bad.expression) + "\n");
        ASSERT_EQ(r.errors, 1u) << bad.expression << "\n" << Messages(r);
        EXPECT_EQ(r.diagnostics[0].line, 1u) << bad.expression;
        EXPECT_EQ(r.diagnostics[0].column, bad.column) << bad.expression;
        EXPECT_NE(r.diagnostics[0].message.find(bad.message), std::string::npos) << Messages(r);
    }
}

}  // namespace
