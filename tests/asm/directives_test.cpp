// Directives and labels: what each puts into memory or the symbol table,
// conditional assembly, END, values that settle over several passes, and
// INCLUDE through the caller's callback.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "tests/asm/assemble_text.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(AsmDirectives, DataDirectivesWriteTheirBytes) {
    const AssemblyResult r = AssembleText(
        "\tORG 1800h\n"
        "\tDB 1,-1,'A',\"bc\",'it''s'\n"
        "\tdefm \"x\\n\\x41\\101\"\n"
        "\tDEFB 0\n"
        "\tDW 1234h,-1,$\n"
        "\tDEFW 5\n"
        "\tDS 3\n"
        "\tDEFS 2,0AAh\n"
        "\tds 1,-1\n");
    ASSERT_EQ(r.errors, 0u) << Messages(r);
    EXPECT_EQ(BytesAt(r, 0x1800, 30),
              (Bytes{1,    0xFF, 'A',  'b',  'c',  'i', 't', '\'', 's', 'x', '\n', 'A',  'A',  0, 0x34,
                     0x12, 0xFF, 0xFF, 0x0E, 0x18, 5,   0,   0,    0,   0,   0xAA, 0xAA, 0xFF, 0, 0}));
    ASSERT_EQ(r.ranges.size(), 1u);
    EXPECT_EQ(r.ranges[0].from, 0x1800);
    EXPECT_EQ(r.ranges[0].to, 0x181B);
}

TEST(AsmDirectives, LabelsOrgEquAndDefl) {
    const AssemblyResult r = AssembleText(
        "first:\tNOP\n"
        "\tORG 1800h\n"
        "start\tLD A,5\t\t; a label in column 1 needs no colon\n"
        "  there: NOP\n"
        "  also NOP\t\t; pasmo takes a first name before an instruction as a label\n"
        "here: ORG 1900h\t\t; a label on ORG takes the new address\n"
        "SIZE\tEQU here-start\n"
        "count\tDEFL 1\n"
        "count\tDEFL count+1\n"
        "Start\tequ 7\t\t; names are case-sensitive, as in pasmo\n");
    ASSERT_EQ(r.errors, 0u) << Messages(r);
    const std::map<std::string, std::int64_t> expected = {{"first", 0},     {"start", 0x1800}, {"there", 0x1802},
                                                          {"also", 0x1803}, {"here", 0x1900},  {"SIZE", 0x100},
                                                          {"count", 2},     {"Start", 7}};
    for (const auto& name : expected) EXPECT_EQ(ValueOf(r, name.first), name.second) << name.first;
    EXPECT_EQ(r.symbols.size(), expected.size());
    EXPECT_TRUE(r.hasOrigin);
    EXPECT_EQ(r.origin, 0x1800) << "the first ORG's address, not the last";
    EXPECT_FALSE(AssembleText("\tNOP\n").hasOrigin);
}

TEST(AsmDirectives, ValuesFromLaterLinesSettleOverPasses) {
    const AssemblyResult r = AssembleText(
        "\tORG base\n"
        "\tDS gap\n"
        "here:\tLD A,X\n"
        "X\tEQU Y+1\n"
        "Y\tEQU gap*2\n"
        "gap\tEQU 2\n"
        "base\tEQU top-10h\n"
        "top\tEQU 1810h\n");
    ASSERT_EQ(r.errors, 0u) << Messages(r);
    EXPECT_EQ(ValueOf(r, "here"), 0x1802);
    EXPECT_EQ(BytesAt(r, 0x1800, 4), (Bytes{0, 0, 0x3E, 5}));
}

TEST(AsmDirectives, ConditionalAssemblyAndEnd) {
    const AssemblyResult r = AssembleText(
        "\tORG 1800h\n"
        "\tIF 1\n"
        "\t DB 1\n"
        "\t if 0\n"
        "\t  DB 2\n"
        "\t  .ERROR not here\n"
        "\t  nothing is read here !!\n"
        "\t else\n"
        "\t  DB 3\n"
        "\t endif\n"
        "\tELSE\n"
        "\t DB 4\n"
        "\tENDIF\n"
        "\tIF $ > 1801h\n"
        "\t.WARNING reached\n"
        "\tENDIF\n"
        "\tEND 1800h\n"
        "\tDB 5\n"
        "\tnor this !!\n");
    EXPECT_EQ(r.errors, 0u) << Messages(r);
    ASSERT_EQ(r.warnings, 1u);
    EXPECT_EQ(r.diagnostics[0].message, "reached");
    EXPECT_EQ(r.diagnostics[0].line, 15u);
    EXPECT_EQ(BytesAt(r, 0x1800, 3), (Bytes{1, 3, 0}));
    EXPECT_TRUE(r.hasEntry);
    EXPECT_EQ(r.entry, 0x1800);
    EXPECT_FALSE(r.lines[4].assembled);
    EXPECT_TRUE(r.lines[8].assembled);
    EXPECT_FALSE(r.lines[17].assembled);
}

TEST(AsmDirectives, IncludeGoesThroughTheCallback) {
    std::map<std::string, std::string> files = {{"part.asm", "\tDB 1\nlab:\tLD A,300\n"},
                                                {"self.asm", "\tINCLUDE self.asm\n"}};
    std::vector<std::string> asked;
    auto reader = [&](const std::string& written, const std::string& includer, AsmIncludedFile& file) {
        asked.push_back(written + " from " + includer);
        if (written.compare(0, 4, "deep") == 0) {  // each includes the next: deep1, deep2...
            file.text = "\tINCLUDE deep" + std::to_string(asked.size()) + "\n";
            return true;
        }
        const auto found = files.find(written);
        if (found == files.end()) {
            file.refusal = "no such file";
            return false;
        }
        file.name = "dir/" + written;
        file.text = found->second;
        return true;
    };
    const AssemblyResult r = AssembleText("\tORG 1800h\n\tINCLUDE \"part.asm\" ; a comment\n\tDB 2\n", reader);
    EXPECT_EQ(asked, (std::vector<std::string>{"part.asm from test.asm"}));
    ASSERT_EQ(r.files.size(), 2u);
    EXPECT_EQ(r.files[1].name, "dir/part.asm");
    ASSERT_EQ(r.errors, 1u);
    EXPECT_EQ(r.diagnostics[0].file, "dir/part.asm");
    EXPECT_EQ(r.diagnostics[0].line, 2u);
    EXPECT_EQ(BytesAt(r, 0x1800, 2), (Bytes{1, 0}));
    EXPECT_EQ(r.memory[0x1803], 2);  // after the 2-byte LD, which was not written

    const struct {
        std::string source;
        bool withReader;
        const char* message;
    } refused[] = {
        {"\tINCLUDE part.asm\n", false, "INCLUDE is not available here"},
        {"\tINCLUDE gone.asm\n", true, "cannot include 'gone.asm': no such file"},
        {"\tINCLUDE self.asm\n", true, "'dir/self.asm' would include itself"},
        {"\tINCLUDE deep0\n", true, "INCLUDE files nest more than 16 deep"},
        {"\tINCLUDE\n", true, "INCLUDE needs a file name"},
    };
    for (const auto& c : refused) {
        asked.clear();
        const AssemblyResult bad = c.withReader ? AssembleText(c.source, reader) : AssembleText(c.source);
        ASSERT_EQ(bad.errors, 1u) << c.source << Messages(bad);
        EXPECT_NE(bad.diagnostics[0].message.find(c.message), std::string::npos) << Messages(bad);
    }
}

TEST(AsmDirectives, LinesEndInLfCrLfOrCrAndMayStartWithANumber) {
    const AssemblyResult r = AssembleText("\xEF\xBB\xBF\tORG 1800h\r\n\tDB 1\r20 DB 2\n30\tthree: DB 3");
    ASSERT_EQ(r.errors, 0u) << Messages(r);
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(AsmLineText(r, r.lines[1]), "\tDB 1");
    EXPECT_EQ(BytesAt(r, 0x1800, 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(ValueOf(r, "three"), 0x1802);
}

}  // namespace
