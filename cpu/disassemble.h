// Z80 disassembler: the instruction at an address, as the core runs it, in
// assembler text that pasmo accepts.
//
// Text form: upper-case mnemonics and registers, hexadecimal numbers with an
// h suffix and a leading 0 before a letter (7Fh, 0FFh, 1234h, 0C000h), index
// displacements signed ((IX+05h), (IY-80h)), relative jumps as their target
// address (JR 1802h). A comment after ';' says what the text cannot:
//  - prefixes the core passes over (only the last of a run of DD/FD counts;
//    DD or FD before ED, or before an instruction without HL/H/L/(HL), does
//    nothing): "NOP ; DD ignored", "LD IY,1234h ; 2 prefixes ignored";
//  - operations pasmo has no mnemonic for (IN F,(C), OUT (C),0, DD CB / FD CB
//    with a register copy, undefined ED bytes, which run as NOP): a DB of the
//    bytes, prefixes included, then the operation: "DB 0EDh,70h ; IN F,(C)".
//    Where that would not fit, the DB leaves out the ignored prefixes and
//    the comment ends with their count: "... ; RLC (IY+05h),B (+2)".
// Aliases that behave as a documented instruction (ED 4C, ED 55, ED 4E, ED 63,
// DD CB d 40...) read as that instruction: NEG, RETN, IM 0, LD (nn),HL, BIT.
#pragma once

#include <cstdint>

struct DisassembledInstruction {
    std::uint16_t length;  // bytes the instruction takes as the core runs it, prefixes included
    char text[48];         // assembler text, e.g. "LD A,(IX+05h)"; NUL-terminated
};

// Reads the byte at an address: the CPU's view of the board or plain memory, as the caller chooses.
using DisassemblyReader = std::uint8_t (*)(const void* context, std::uint16_t address);

// The instruction at address. Addresses wrap at FFFFh, as the CPU's do.
DisassembledInstruction Disassemble(DisassemblyReader read, const void* context, std::uint16_t address);
