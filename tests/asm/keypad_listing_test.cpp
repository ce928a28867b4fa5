// The keypad listing, and the line map that the listing and the page read.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/asm/assemble_text.h"

namespace {

// The listing's lines with their runs of blanks made one.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string squeezed;
        for (char c : line) {
            if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
        }
        lines.push_back(squeezed);
    }
    return lines;
}

TEST(AsmKeypadListing, TypesEachLineAndStartsAfreshWhereTheAddressJumps) {
    const AssemblyResult r = AssembleText(
        "\tORG 1800h\n"
        "start:\tLD A,0\t\t; the count\n"
        "\tINC A\n"
        "value\tEQU 5\n"
        "\tORG 1900h\n"
        "\tDB 12h,3Fh\n"
        "\tEND start\n");
    ASSERT_EQ(r.errors + r.warnings, 0u) << Messages(r);
    const std::vector<std::string> lines = Lines(KeypadListingText(r));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "1800 ADDR 1 8 0 0 DATA 3 E + 0 0 + ; start: LD A,0 ; the count");
    EXPECT_EQ(lines[3], "1802 3 C + ; INC A");
    EXPECT_EQ(lines[4], "1900 ADDR 1 9 0 0 DATA 1 2 + 3 F + ; DB 12h,3Fh");
    EXPECT_EQ(lines[5], "; to run it: ADDR 1 8 0 0 GO");
}

TEST(AsmKeypadListing, SaysWhereTheKeypadCannotReach) {
    const AssemblyResult r = AssembleText(
        "\tNOP\n"
        "\tORG 3000h\n"
        "\tNOP\n"
        "\tORG 27FEh\n"
        "\tDW 1234h\n");
    const std::vector<std::string> lines = Lines(KeypadListingText(r));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "0000 ; cannot be typed (ROM): NOP");
    EXPECT_EQ(lines[3], "3000 ; cannot be typed (no memory there): NOP");
    EXPECT_EQ(lines[4], "27FE ADDR 2 7 F E DATA 3 4 + 1 2 + ; the monitor's working area: DW 1234h");
    EXPECT_EQ(lines[5], "; to run it: ADDR 2 7 F E GO");
}

TEST(AsmKeypadListing, LineMapLeadsFromAddressToLineAndBack) {
    const AssemblyResult r = AssembleText("\tORG 1800h\n\tLD HL,0\n\n\tDS 3\n\tORG 1801h\n\tNOP\n");
    EXPECT_EQ(LineAtAddress(r, 0x1800), 1);
    EXPECT_EQ(LineAtAddress(r, 0x1801), 5);  // the last line to write it
    EXPECT_EQ(LineAtAddress(r, 0x1805), 3);
    EXPECT_EQ(LineAtAddress(r, 0x1806), -1);
    EXPECT_EQ(LineIndex(r, 0, 4), 3);
    EXPECT_EQ(r.lines[3].address, 0x1803);
    EXPECT_EQ(Lines(LineMapText(r))[1], "1800 3 test.asm:2");
    EXPECT_EQ(Lines(ListingText(r))[2], "1800 21 00 00 2 LD HL,0");
}

}  // namespace
