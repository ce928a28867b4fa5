// Errors and warnings a learner can act on: each at its line and column,
// every error of a run up to 50, ranges checked on the value as written, and
// the warnings about where bytes land on the board.
#include <string>

#include <gtest/gtest.h>

#include "tests/asm/assemble_text.h"

namespace {

struct Expected {
    const char* source;
    unsigned line;
    unsigned column;
    const char* message;  // a part of it
};

// The first diagnostic of the severity, and that it is the only one.
void ExpectFirst(const Expected* cases, std::size_t count, AsmSeverity severity) {
    for (std::size_t i = 0; i < count; ++i) {
        const Expected& c = cases[i];
        const AssemblyResult r = AssembleText(c.source);
        std::size_t first = 0;
        while (first < r.diagnostics.size() && r.diagnostics[first].severity != severity) ++first;
        ASSERT_LT(first, r.diagnostics.size()) << c.source << "\n" << Messages(r);
        const AsmDiagnostic& d = r.diagnostics[first];
        EXPECT_EQ(d.line, c.line) << c.source;
        EXPECT_EQ(d.column, c.column) << c.source;
        EXPECT_NE(d.message.find(c.message), std::string::npos) << c.source << "\n" << Messages(r);
        EXPECT_EQ(severity == AsmSeverity::Error ? r.errors : r.warnings, 1u) << c.source << "\n" << Messages(r);
    }
}

TEST(AsmErrors, EachAtItsLineAndColumn) {
    const Expected cases[] = {
        {"\tJP strat\nstart:\tNOP\n", 1, 5, "unknown name 'strat'; did you mean 'start'?"},
        {"Start:\tNOP\n\tJP start\n", 2, 5, "did you mean 'Start'? (names are case-sensitive)"},
        {"\tORG 1800h\n\tJR far\n\tDS 200\nfar:\tNOP\n", 2, 5,
         "JR cannot reach 18CAh: it lies 200 bytes past the end of this JR, and JR reaches 127 bytes forward and 128 "
         "back; use JP"},
        {"\tORG 1800h\nback:\tDS 200\n\tDJNZ back\n", 3, 7, "202 bytes back from the end of this DJNZ"},
        {"\tORG 1800h\nback:\tDS 200\n\tDJNZ back\n", 3, 7, "use DEC B and JP NZ"},
        {"\tLD A,256\n", 1, 7, "256 (100h) does not fit in a byte (-128 to 255)"},
        {"\tDB -129\n", 1, 5, "-129 does not fit in a byte"},
        {"\tLD HL,10000h\n", 1, 8, "does not fit in 16 bits"},
        {"\tLD (IX+128),A\n", 1, 8, "the index offset 128 (80h) lies outside -128 to 127"},
        {"\tIM 3\n", 1, 5, "IM takes 0, 1 or 2 here, not 3"},
        {"\tRST 9\n", 1, 6, "RST takes 00h, 08h, 10h, 18h, 20h, 28h, 30h or 38h here, not 9"},
        {"\tBIT 8,A\n", 1, 6, "BIT takes 0, 1, 2, 3, 4, 5, 6 or 7 here, not 8"},
        {"x:\tNOP\nx:\tNOP\n", 2, 1, "'x' is already defined on line 1"},
        {"\tLDA 5\n", 1, 2, "unknown instruction 'LDA'; did you mean LD?"},
        {"lx a,5\n", 1, 1, "unknown instruction 'lx'; did you mean LD?"},
        {"\tLD (BC),B\n", 1, 2, "there is no instruction 'LD (BC),B'; did you mean LD (BC),A?"},
        {"\tLD H,IXH\n", 1, 2, "there is no instruction 'LD H,IXH'"},
        {"\tPUSH\n", 1, 2, "PUSH takes one operand"},
        {"\tJP HL\n", 1, 2, "there is no instruction 'JP HL'; did you mean JP (HL)?"},
        {"\tSUB A,B\n", 1, 2, "SUB takes one operand; did you mean SUB B?"},
        {"\tLD A,(HL\n", 1, 7, "this '(' has no closing ')'"},
        {"LD:\tNOP\n", 1, 1, "'LD' is a reserved word and cannot be a name"},
        {"\tIF later\n\tENDIF\nlater\tEQU 1\n", 1, 2, "'later' is defined further down (line 3)"},
        {"SIZE\tEQU last\n\tIF SIZE\n\tENDIF\nlast:\n", 2, 2, "'SIZE' depends on names defined further down (line 1)"},
        {"\tIF 1\n\tNOP\n", 1, 2, "this IF has no ENDIF"},
        {"\tNOP\n\tENDIF\n", 2, 2, "ENDIF without IF"},
        {"\tORG 0FFFFh\n\tLD HL,0\n", 2, 2, "the code runs past FFFFh"},
        {"\tDS -1\n", 1, 5, "DEFS cannot reserve -1 bytes"},
        {"\tDB 1,,2\n", 1, 7, "a value is missing here"},
        {"\tLD A,B,C\n", 1, 9, "too many operands"},
        {"\tDEFS 1,2,3\n", 1, 11, "DEFS takes a size and an optional fill byte"},
        {"\tMACRO x\n", 1, 2, "a pasmo directive that this assembler does not support"},
        {"\t.ERROR The monitor does not fit\n", 1, 2, "The monitor does not fit"},
        {"\tEQU 5\n", 1, 2, "EQU needs a name before it"},
        {"\tDW y\ny\tDEFL 3\n", 1, 2, "'y' is used before its first DEFL"},
    };
    ExpectFirst(cases, sizeof cases / sizeof cases[0], AsmSeverity::Error);
}

TEST(AsmErrors, WarningsAtTheirLine) {
    const Expected cases[] = {
        {"\tORG 1800h\n\tNOP\n\tORG 1800h\n\tHALT\n", 4, 2, "puts a byte at 1800h, where line 2 has put one already"},
        {"  halts\n", 1, 3,
         "'halts' alone on an indented line is taken as a label; write 'halts:' if it is one; did you mean HALT?"},
        {"\tORG 1800h\n\tLD B,(5)\n", 2, 8, "the brackets are read as part of a value"},
        {"\tNOP\n", 1, 2, "bytes at 0000h lie in the monitor's ROM (0000h-07FFh)"},
        {"\tORG 3000h\n\tNOP\n\tNOP\n", 2, 2, "bytes at 3000h-3001h lie outside the board's memory"},
        {"\tORG 27FEh\n\tDW 0\n", 2, 2, "bytes at 27FEh-27FFh lie in the monitor's working area (2780h-27FFh"},
        {"\tORG 1800h\n\t.WARNING look here\n", 2, 2, "look here"},
    };
    ExpectFirst(cases, sizeof cases / sizeof cases[0], AsmSeverity::Warning);
}

TEST(AsmErrors, RangesAreCheckedOnTheValueAsWritten) {
    // NOT 40h is -65, a byte; OFS is -5, an index offset (pasmo refuses it,
    // taking -5 as FFFBh); 0FF80h is no byte (pasmo keeps its low byte).
    const AssemblyResult ok = AssembleText("\tORG 1800h\nOFS\tEQU -5\n\tLD A,(IX+OFS)\n\tAND NOT 40h\n\tLD A,-128\n");
    EXPECT_EQ(ok.errors + ok.warnings, 0u) << Messages(ok);
    EXPECT_EQ(BytesAt(ok, 0x1800, 7), (std::vector<std::uint8_t>{0xDD, 0x7E, 0xFB, 0xE6, 0xBF, 0x3E, 0x80}));
    const AssemblyResult bad = AssembleText("\tORG 1800h\n\tLD A,0FF80h\n");
    EXPECT_EQ(bad.errors, 1u);
}

TEST(AsmErrors, EveryErrorUpToFifty) {
    std::string source = "\tORG 1800h\n";
    for (int i = 0; i < 60; ++i) source += "\tLD A,300\n";
    const AssemblyResult r = AssembleText(source);
    EXPECT_EQ(r.errors, 50u);
    ASSERT_EQ(r.diagnostics.size(), 51u);
    EXPECT_EQ(r.diagnostics[49].line, 51u);
    EXPECT_EQ(r.diagnostics.back().line, 0u);
    EXPECT_EQ(DiagnosticText(r.diagnostics.back()), "error: stopped after 50 errors\n");
}

TEST(AsmErrors, TextNamesThePlaceAndPutsACaretUnderIt) {
    const AssemblyResult r = AssembleText("start:\tNOP\n\tJP strat\n");
    ASSERT_EQ(r.diagnostics.size(), 2u);  // and the ROM warning
    EXPECT_EQ(DiagnosticText(r.diagnostics[1]),
              "test.asm:2:5: error: unknown name 'strat'; did you mean 'start'?\n\tJP strat\n\t   ^\n");
}

}  // namespace
