// How long each instruction takes, in T-states (clock cycles) as Zilog's
// manual gives them, derived from the operation classes of the decode tables:
// one figure per class and prefix, turned into a table per opcode byte while
// compiling, so that the dispatch adds a constant for each instruction.
//
// Each byte fetched as an opcode counts where it is fetched: a prefix (CB, DD,
// ED, FD) its 4 T-states, the byte after it the rest of the instruction's
// figure. A DD or FD that the next opcode ignores thus adds 4, as on the Z80.
// A conditional instruction's table figure is its figure when the condition
// fails; the handler adds the rest where it decides the condition.
#pragma once

#include <cstdint>

#include "cpu/decode_tables.h"

namespace z80 {

// What a condition that holds adds: JR cc 7/12, DJNZ 8/13, CALL cc 10/17,
// RET cc 5/11. A block repeat (LDIR, CPIR, INIR, OTDR...) takes 21 for each
// pass that repeats and 16 for the last, here added as 21 for each pass
// before the last, which the table's 16 counts.
constexpr std::uint32_t kJrTakenExtra = 5;
constexpr std::uint32_t kDjnzTakenExtra = 5;
constexpr std::uint32_t kCallTakenExtra = 7;
constexpr std::uint32_t kRetTakenExtra = 6;
constexpr std::uint32_t kBlockRepeatTStates = 21;

// Interrupt acceptance: the NMI; a maskable interrupt in mode 1 or 2; in
// mode 0 the instruction on the data bus with 2 wait states on its fetch
// (RST: 2 + 11 = 13).
constexpr std::uint32_t kNmiTStates = 11;
constexpr std::uint32_t kMode0ExtraTStates = 2;
constexpr std::uint32_t kMode1TStates = 13;
constexpr std::uint32_t kMode2TStates = 19;

// The unprefixed instruction of class c; 4 for a prefix byte itself.
constexpr std::uint8_t UnprefixedTStates(OpClass c) {
    switch (c) {
        case OpClass::LdRegImm:
        case OpClass::LdRegMem:
        case OpClass::LdMemReg:
        case OpClass::LdABc:
        case OpClass::LdADe:
        case OpClass::LdBcA:
        case OpClass::LdDeA:
        case OpClass::AddImm: case OpClass::AddMem: case OpClass::AdcImm: case OpClass::AdcMem:
        case OpClass::SubImm: case OpClass::SubMem: case OpClass::SbcImm: case OpClass::SbcMem:
        case OpClass::AndImm: case OpClass::AndMem: case OpClass::XorImm: case OpClass::XorMem:
        case OpClass::OrImm: case OpClass::OrMem: case OpClass::CpImm: case OpClass::CpMem:
        case OpClass::JrCond:  // 12 taken
            return 7;
        case OpClass::LdMemImm:
        case OpClass::LdPairImm:
        case OpClass::Pop:
        case OpClass::Jp:
        case OpClass::JpCond:
        case OpClass::CallCond:  // 17 taken
        case OpClass::Ret:
            return 10;
        case OpClass::LdAAbs:
        case OpClass::LdAbsA:
            return 13;
        case OpClass::LdHlAbs:
        case OpClass::LdAbsHl:
            return 16;
        case OpClass::LdSpHl:
        case OpClass::IncPair:
        case OpClass::DecPair:
            return 6;
        case OpClass::Push:
        case OpClass::IncMem:
        case OpClass::DecMem:
        case OpClass::AddHlPair:
        case OpClass::Rst:
        case OpClass::InAImm:
        case OpClass::OutImmA:
            return 11;
        case OpClass::ExSpHl: return 19;
        case OpClass::Jr: return 12;
        case OpClass::Djnz: return 8;  // 13 taken
        case OpClass::Call: return 17;
        case OpClass::RetCond: return 5;  // 11 taken
        default: return 4;  // register to register, A and flags, EX, DI, EI, JP (HL), NOP, HALT as a NOP, prefixes
    }
}

// What an index prefix adds beyond its own 4 where the operand is (IX+d):
// the displacement's fetch and the address sum. LD (IX+d),n fetches d and n
// in one stretch: 19 against LD (HL),n's 10.
constexpr std::uint8_t IndexedMemoryExtra(OpClass c) {
    switch (c) {
        case OpClass::LdMemImm: return 5;
        case OpClass::LdRegMem:
        case OpClass::LdMemReg:
        case OpClass::AddMem: case OpClass::AdcMem: case OpClass::SubMem: case OpClass::SbcMem:
        case OpClass::AndMem: case OpClass::XorMem: case OpClass::OrMem: case OpClass::CpMem:
        case OpClass::IncMem:
        case OpClass::DecMem:
            return 8;
        default: return 0;
    }
}

// CB op, prefix included; indexed: DD CB d op or FD CB d op.
constexpr std::uint8_t CbTStates(OpClass c, bool indexed) {
    switch (c) {
        case OpClass::BitMem: return indexed ? 20 : 12;
        case OpClass::RlcMem: case OpClass::RrcMem: case OpClass::RlMem: case OpClass::RrMem:
        case OpClass::SlaMem: case OpClass::SraMem: case OpClass::SllMem: case OpClass::SrlMem:
        case OpClass::ResMem: case OpClass::SetMem:
            return indexed ? 23 : 15;
        default: return 8;  // on a register
    }
}

// ED op, prefix included.
constexpr std::uint8_t EdTStates(OpClass c) {
    switch (c) {
        case OpClass::InRegC:
        case OpClass::InFlagsC:
        case OpClass::OutCReg:
        case OpClass::OutCZero:
            return 12;
        case OpClass::SbcHlPair:
        case OpClass::AdcHlPair:
            return 15;
        case OpClass::LdAbsPair:
        case OpClass::LdPairAbs:
            return 20;
        case OpClass::Retn: return 14;
        case OpClass::LdIA:
        case OpClass::LdRA:
        case OpClass::LdAI:
        case OpClass::LdAR:
            return 9;
        case OpClass::Rrd:
        case OpClass::Rld:
            return 18;
        case OpClass::Ldi: case OpClass::Ldd: case OpClass::Ldir: case OpClass::Lddr:
        case OpClass::Cpi: case OpClass::Cpd: case OpClass::Cpir: case OpClass::Cpdr:
        case OpClass::Ini: case OpClass::Ind: case OpClass::Inir: case OpClass::Indr:
        case OpClass::Outi: case OpClass::Outd: case OpClass::Otir: case OpClass::Otdr:
            return 16;  // a repeat's last pass
        default: return 8;  // NEG, IM, and the undefined bytes, which run as two NOPs
    }
}

struct TStateTable {
    std::uint8_t figures[256];
    constexpr std::uint8_t operator[](unsigned op) const { return figures[op]; }
};

enum class TStateSet { Unprefixed, AfterIndex, AfterCb, AfterIndexCb, AfterEd };

// What the byte op adds in the given place, the prefix bytes before it
// already counted: 4 for each, DD CB counting as two.
constexpr std::uint8_t TStatesOf(TStateSet set, unsigned op) {
    constexpr std::uint8_t kPrefix = 4;
    switch (set) {
        case TStateSet::Unprefixed: return UnprefixedTStates(MainDecodeTable[op]);
        case TStateSet::AfterIndex: {
            const OpClass c = MainDecodeTable[op];
            return static_cast<std::uint8_t>(UnprefixedTStates(c) + IndexedMemoryExtra(c));
        }
        case TStateSet::AfterCb: return static_cast<std::uint8_t>(CbTStates(CbDecodeTable[op], false) - kPrefix);
        case TStateSet::AfterIndexCb:  // every operation works on (IX+d): the class of op with 6 in its low bits
            return static_cast<std::uint8_t>(CbTStates(CbDecodeTable[op | 6u], true) - 2 * kPrefix);
        case TStateSet::AfterEd: return static_cast<std::uint8_t>(EdTStates(EdDecodeTable[op]) - kPrefix);
    }
    return 0;
}

constexpr TStateTable MakeTStateTable(TStateSet set) {
    TStateTable table{};
    for (unsigned op = 0; op < 256; ++op) table.figures[op] = TStatesOf(set, op);
    return table;
}

inline constexpr TStateTable kUnprefixedTStates = MakeTStateTable(TStateSet::Unprefixed);
inline constexpr TStateTable kAfterIndexTStates = MakeTStateTable(TStateSet::AfterIndex);
inline constexpr TStateTable kAfterCbTStates = MakeTStateTable(TStateSet::AfterCb);
inline constexpr TStateTable kAfterIndexCbTStates = MakeTStateTable(TStateSet::AfterIndexCb);
inline constexpr TStateTable kAfterEdTStates = MakeTStateTable(TStateSet::AfterEd);

// A block repeat that ran its pass count times, beyond the table's figure.
constexpr std::uint32_t BlockRepeatExtra(std::uint32_t passes) { return kBlockRepeatTStates * (passes - 1); }

// The unprefixed classes whose handlers add T-states beyond the table's
// figure: the conditionals, and the prefixes for the rest of the instruction.
constexpr bool AddsToItsFigure(OpClass c) {
    switch (c) {
        case OpClass::JrCond:
        case OpClass::Djnz:
        case OpClass::CallCond:
        case OpClass::RetCond:
        case OpClass::PrefixCB:
        case OpClass::PrefixDD:
        case OpClass::PrefixED:
        case OpClass::PrefixFD:
            return true;
        default: return false;
    }
}

}  // namespace z80
