// Instruction forms through the disassembler round trip: the disassembly of
// every form the core runs assembles back to its bytes (or, for aliases and
// ignored prefixes, to the documented encoding), in any case; and the
// spellings beyond the disassembler's that the assembler takes.
#include <string>

#include <gtest/gtest.h>

#include "asm/instruction_table.h"
#include "tests/asm/assemble_text.h"
#include "tests/disassembler/forms_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned WrongSlots(const FormsFile& file, const AssemblyResult& r) {
    unsigned wrong = 0;
    for (std::size_t i = 0; i < file.forms.size(); ++i) {
        const Bytes expected = ExpectedSlot(file.forms[i], file.texts[i].text, file.texts[i].length);
        const Bytes got = BytesAt(r, static_cast<std::uint16_t>(kFormsOrigin + i * kFormSlot), kFormSlot);
        if (got != expected && ++wrong <= 10) {
            ADD_FAILURE() << file.texts[i].text << " gives " << HexBytes(got, 0, kFormSlot) << "expected "
                          << HexBytes(expected, 0, kFormSlot);
        }
    }
    return wrong;
}

TEST(AsmInstructionForms, EveryDisassemblyAssemblesBackToItsBytesInAnyCase) {
    const FormsFile file = MakeFormsFile();
    std::string lower = file.source;
    for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    for (const std::string& source : {file.source, lower}) {
        const AssemblyResult r = Assemble("forms.asm", source);
        ASSERT_EQ(r.errors, 0u) << Messages(r).substr(0, 2000);
        EXPECT_EQ(WrongSlots(file, r), 0u);
    }
}

TEST(AsmInstructionForms, FormsOfOneKeyDifferOnlyInTheirFixedNumber) {
    for (const auto& group : Z80Instructions().Groups()) {
        for (const InstructionForm& form : group.second) {
            EXPECT_EQ(form.length, group.second.front().length) << form.text;
            EXPECT_EQ(form.slotCount, group.second.front().slotCount) << form.text;
            EXPECT_TRUE(group.second.size() == 1 || form.fixedOperand >= 0) << form.text;
        }
    }
}

TEST(AsmInstructionForms, ExtensionsAndOtherSpellings) {
    const struct {
        const char* source;
        Bytes bytes;
    } cases[] = {
        {"IN F,(C)", {0xED, 0x70}},
        {"in (c)", {0xED, 0x70}},
        {"OUT (C),0", {0xED, 0x71}},
        {"LD A,(IX)", {0xDD, 0x7E, 0}},
        {"jp [hl]", {0xE9}},
        {"LD A,[5]", {0x3A, 5, 0}},
        {"JP (IX)", {0xDD, 0xE9}},
        {"ex af,af'", {0x08}},
        {"LD (IY-80h),7Fh", {0xFD, 0x36, 0x80, 0x7F}},
        {"RST 38h", {0xFF}},
        {"IM 2", {0xED, 0x5E}},
        {"BIT 7,(IX+1)", {0xDD, 0xCB, 1, 0x7E}},
        {"SLL (HL)", {0xCB, 0x36}},
        {"LD IXH,IXL", {0xDD, 0x65}},
        {"LD A,(2)+(3)", {0x3E, 5}},
    };
    for (const auto& c : cases) {
        const AssemblyResult r = AssembleText("\tORG 1800h\n\t" + std::string(c.source) + "\n");
        ASSERT_EQ(r.errors, 0u) << c.source << "\n" << Messages(r);
        EXPECT_EQ(BytesAt(r, 0x1800, c.bytes.size()), c.bytes) << c.source;
        EXPECT_EQ(r.lines[1].size, c.bytes.size()) << c.source;
    }
}

}  // namespace
