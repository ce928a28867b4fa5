// Operation classes and the three tables that map an opcode byte to its class.
// All opcodes that differ only in a register field, bit number, condition or
// restart vector share a class; the handler reads those fields from the opcode.
#pragma once

#include <cstdint>

enum class OpClass : std::uint8_t {
    // Unprefixed (and after DD / FD)
    Nop, Halt, LdRegReg, LdRegImm, LdRegMem, LdMemReg, LdMemImm,
    LdABc, LdADe, LdAAbs, LdBcA, LdDeA, LdAbsA,
    LdPairImm, LdHlAbs, LdAbsHl, LdSpHl, Push, Pop, ExDeHl, ExAf, Exx, ExSpHl,
    AddReg, AddImm, AddMem, AdcReg, AdcImm, AdcMem, SubReg, SubImm, SubMem,
    SbcReg, SbcImm, SbcMem, AndReg, AndImm, AndMem, XorReg, XorImm, XorMem,
    OrReg, OrImm, OrMem, CpReg, CpImm, CpMem,
    IncReg, IncMem, DecReg, DecMem, AddHlPair, IncPair, DecPair,
    Daa, Cpl, Scf, Ccf, Rlca, Rla, Rrca, Rra,
    Di, Ei, Jp, JpCond, Jr, JrCond, Djnz, JpHl, Call, CallCond, Ret, RetCond, Rst,
    InAImm, OutImmA,
    PrefixCB, PrefixDD, PrefixED, PrefixFD,
    // After CB
    RlcReg, RlcMem, RrcReg, RrcMem, RlReg, RlMem, RrReg, RrMem,
    SlaReg, SlaMem, SraReg, SraMem, SllReg, SllMem, SrlReg, SrlMem,
    BitReg, BitMem, ResReg, ResMem, SetReg, SetMem,
    // After ED
    InRegC, InFlagsC, OutCReg, OutCZero, SbcHlPair, AdcHlPair, LdAbsPair, LdPairAbs,
    Neg, Retn, Im0, Im1, Im2, LdIA, LdRA, LdAI, LdAR, Rrd, Rld,
    Ldi, Ldd, Ldir, Lddr, Cpi, Cpd, Cpir, Cpdr, Ini, Ind, Inir, Indr, Outi, Outd, Otir, Otdr,
    EdUndefined,
};

extern const OpClass MainDecodeTable[256];
extern const OpClass CbDecodeTable[256];
extern const OpClass EdDecodeTable[256];
