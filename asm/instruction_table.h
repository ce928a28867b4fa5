// The instruction forms the assembler matches, read from the disassembler:
// every opcode of every prefix space is disassembled with marked operand
// bytes, and its text becomes a form. So the decode tables stay the one
// description of the instruction set, with three readers: the executor, the
// disassembler and the assembler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

enum class SlotKind : std::uint8_t {
    Byte,          // n: -128 to 255
    Word,          // nn: -32768 to FFFFh
    Relative,      // e: a target address within -128..127 of the next instruction
    Displacement,  // d of (IX+d), (IY+d): -128 to 127
};

struct OperandSlot {
    SlotKind kind;
    std::uint8_t operand;  // which source operand (0 or 1) holds the value
    std::uint8_t offset;   // where its byte (a word's low byte) goes
};

struct InstructionForm {
    std::uint8_t bytes[4];  // the opcode bytes; slot positions hold 0
    std::uint8_t length;
    std::uint8_t slotCount;
    OperandSlot slots[2];
    std::int8_t fixedOperand;  // the operand that is part of the opcode (IM 1, RST 38h, BIT 3,...), or -1
    std::uint8_t fixedValue;
    bool extension;    // accepted here, refused by pasmo: IN F,(C), IN (C), OUT (C),0
    std::string text;  // for messages: "LD A,(IX+d)", "JR NZ,e", "LD (nn),A", "IM 1"
};

// The forms of one key differ only in their fixed number (IM 0/1/2, the RSTs, BIT 0-7 ...).
using FormGroup = std::vector<InstructionForm>;

class InstructionTable {
public:
    InstructionTable();

    // key: the mnemonic and the shapes of its operands, upper case: "LD A,n",
    // "LD (IX+d),n", "BIT n,(HL)", "IN A,(n)", "JP (HL)". A number is "n",
    // a number in parentheses "(n)".
    const FormGroup* Find(const std::string& key) const;
    bool IsMnemonic(const std::string& upper) const;
    bool IsRegister(const std::string& upper) const;  // registers and conditions: A, HL, AF', IXH, NZ, F...
    const std::vector<std::string>& Mnemonics() const { return mnemonics_; }
    const std::unordered_set<std::string>& Registers() const { return registers_; }
    // The keys of one mnemonic (upper case), for hints.
    std::vector<const std::string*> KeysOf(std::string_view mnemonic) const;
    // Every key and its forms.
    const std::unordered_map<std::string, FormGroup>& Groups() const { return groups_; }

private:
    void Add(const std::string& key, InstructionForm form);

    std::unordered_map<std::string, FormGroup> groups_;
    std::vector<std::string> mnemonics_;
    std::unordered_set<std::string> mnemonicSet_;
    std::unordered_set<std::string> registers_;
};

// Built on first use.
const InstructionTable& Z80Instructions();
