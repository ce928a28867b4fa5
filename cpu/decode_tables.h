// Operation classes and the three tables that map an opcode byte to its class,
// 16 opcodes to a row. All opcodes that differ only in a register field, bit
// number, condition or restart vector share a class; the handler reads those
// fields from the opcode. The tables are constexpr so that the dispatch in
// cpu/execute.h can pick each opcode's handler while compiling.
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

// The short names below read the tables like a listing; they stay in here.
namespace decode_legend {

// clang-format off
// Legend. r = register field, m = memory operand (HL)/(IX+d)/(IY+d), n = immediate
// byte, nn/ab = absolute address, p = register pair, c = condition.
constexpr OpClass nop = OpClass::Nop,          halt = OpClass::Halt;
constexpr OpClass ldrr = OpClass::LdRegReg,    ldrn = OpClass::LdRegImm,   ldrm = OpClass::LdRegMem;
constexpr OpClass ldmr = OpClass::LdMemReg,    ldmn = OpClass::LdMemImm;
constexpr OpClass ldabc = OpClass::LdABc,      ldade = OpClass::LdADe,     ldaa = OpClass::LdAAbs;   // LD A,(BC) (DE) (nn)
constexpr OpClass ldbca = OpClass::LdBcA,      lddea = OpClass::LdDeA,     ldaab = OpClass::LdAbsA;  // LD (BC) (DE) (nn),A
constexpr OpClass ldpn = OpClass::LdPairImm,   ldhla = OpClass::LdHlAbs,   ldahl = OpClass::LdAbsHl; // LD p,nn  HL,(nn)  (nn),HL
constexpr OpClass ldsp = OpClass::LdSpHl,      push = OpClass::Push,       pop = OpClass::Pop;
constexpr OpClass exdh = OpClass::ExDeHl,      exaf = OpClass::ExAf,       exx = OpClass::Exx,      exsp = OpClass::ExSpHl;
constexpr OpClass addr = OpClass::AddReg,      addn = OpClass::AddImm,     addm = OpClass::AddMem;
constexpr OpClass adcr = OpClass::AdcReg,      adcn = OpClass::AdcImm,     adcm = OpClass::AdcMem;
constexpr OpClass subr = OpClass::SubReg,      subn = OpClass::SubImm,     subm = OpClass::SubMem;
constexpr OpClass sbcr = OpClass::SbcReg,      sbcn = OpClass::SbcImm,     sbcm = OpClass::SbcMem;
constexpr OpClass andr = OpClass::AndReg,      andn = OpClass::AndImm,     andm = OpClass::AndMem;
constexpr OpClass xorr = OpClass::XorReg,      xorn = OpClass::XorImm,     xorm = OpClass::XorMem;
constexpr OpClass orr = OpClass::OrReg,        orn = OpClass::OrImm,       orm = OpClass::OrMem;
constexpr OpClass cpr = OpClass::CpReg,        cpn = OpClass::CpImm,       cpm = OpClass::CpMem;
constexpr OpClass incr = OpClass::IncReg,      incm = OpClass::IncMem,     decr = OpClass::DecReg,  decm = OpClass::DecMem;
constexpr OpClass addhl = OpClass::AddHlPair,  incp = OpClass::IncPair,    decp = OpClass::DecPair;
constexpr OpClass daa = OpClass::Daa,          cpl = OpClass::Cpl,         scf = OpClass::Scf,      ccf = OpClass::Ccf;
constexpr OpClass rlca = OpClass::Rlca,        rla = OpClass::Rla,         rrca = OpClass::Rrca,    rra = OpClass::Rra;
constexpr OpClass di = OpClass::Di,            ei = OpClass::Ei;
constexpr OpClass jp = OpClass::Jp,            jpc = OpClass::JpCond,      jr = OpClass::Jr,        jrc = OpClass::JrCond;
constexpr OpClass djnz = OpClass::Djnz,        jphl = OpClass::JpHl;
constexpr OpClass call = OpClass::Call,        callc = OpClass::CallCond,  ret = OpClass::Ret,      retc = OpClass::RetCond;
constexpr OpClass rst = OpClass::Rst,          ina = OpClass::InAImm,      outa = OpClass::OutImmA;
constexpr OpClass CB = OpClass::PrefixCB,      DD = OpClass::PrefixDD,     ED = OpClass::PrefixED,  FD = OpClass::PrefixFD;

constexpr OpClass rlcr = OpClass::RlcReg,      rlcm = OpClass::RlcMem,     rrcr = OpClass::RrcReg,  rrcm = OpClass::RrcMem;
constexpr OpClass rlr = OpClass::RlReg,        rlm = OpClass::RlMem,       rrr = OpClass::RrReg,    rrm = OpClass::RrMem;
constexpr OpClass slar = OpClass::SlaReg,      slam = OpClass::SlaMem,     srar = OpClass::SraReg,  sram = OpClass::SraMem;
constexpr OpClass sllr = OpClass::SllReg,      sllm = OpClass::SllMem,     srlr = OpClass::SrlReg,  srlm = OpClass::SrlMem;
constexpr OpClass bitr = OpClass::BitReg,      bitm = OpClass::BitMem;
constexpr OpClass resr = OpClass::ResReg,      resm = OpClass::ResMem;
constexpr OpClass setr = OpClass::SetReg,      setm = OpClass::SetMem;

constexpr OpClass inr = OpClass::InRegC,       inf = OpClass::InFlagsC,    outr = OpClass::OutCReg, out0 = OpClass::OutCZero;
constexpr OpClass sbchl = OpClass::SbcHlPair,  adchl = OpClass::AdcHlPair;
constexpr OpClass ldap = OpClass::LdAbsPair,   ldpa = OpClass::LdPairAbs;  // LD (nn),p  LD p,(nn)
constexpr OpClass neg = OpClass::Neg,          retn = OpClass::Retn;       // RETN and RETI alike
constexpr OpClass im0 = OpClass::Im0,          im1 = OpClass::Im1,         im2 = OpClass::Im2;
constexpr OpClass ldia = OpClass::LdIA,        ldra = OpClass::LdRA,       ldai = OpClass::LdAI,    ldar = OpClass::LdAR;
constexpr OpClass rrd = OpClass::Rrd,          rld = OpClass::Rld;
constexpr OpClass ldi = OpClass::Ldi,          ldd = OpClass::Ldd,         ldir = OpClass::Ldir,    lddr = OpClass::Lddr;
constexpr OpClass cpi = OpClass::Cpi,          cpd = OpClass::Cpd,         cpir = OpClass::Cpir,    cpdr = OpClass::Cpdr;
constexpr OpClass ini = OpClass::Ini,          ind = OpClass::Ind,         inir = OpClass::Inir,    indr = OpClass::Indr;
constexpr OpClass outi = OpClass::Outi,        outd = OpClass::Outd,       otir = OpClass::Otir,    otdr = OpClass::Otdr;
constexpr OpClass undef = OpClass::EdUndefined;


//           x0     x1     x2     x3     x4     x5     x6     x7     x8     x9     xA     xB     xC     xD     xE     xF
inline constexpr OpClass MainDecodeTable[256] = {
    /* 00 */ nop,   ldpn,  ldbca, incp,  incr,  decr,  ldrn,  rlca,  exaf,  addhl, ldabc, decp,  incr,  decr,  ldrn,  rrca,
    /* 10 */ djnz,  ldpn,  lddea, incp,  incr,  decr,  ldrn,  rla,   jr,    addhl, ldade, decp,  incr,  decr,  ldrn,  rra,
    /* 20 */ jrc,   ldpn,  ldahl, incp,  incr,  decr,  ldrn,  daa,   jrc,   addhl, ldhla, decp,  incr,  decr,  ldrn,  cpl,
    /* 30 */ jrc,   ldpn,  ldaab, incp,  incm,  decm,  ldmn,  scf,   jrc,   addhl, ldaa,  decp,  incr,  decr,  ldrn,  ccf,
    /* 40 */ nop,   ldrr,  ldrr,  ldrr,  ldrr,  ldrr,  ldrm,  ldrr,  ldrr,  nop,   ldrr,  ldrr,  ldrr,  ldrr,  ldrm,  ldrr,
    /* 50 */ ldrr,  ldrr,  nop,   ldrr,  ldrr,  ldrr,  ldrm,  ldrr,  ldrr,  ldrr,  ldrr,  nop,   ldrr,  ldrr,  ldrm,  ldrr,
    /* 60 */ ldrr,  ldrr,  ldrr,  ldrr,  nop,   ldrr,  ldrm,  ldrr,  ldrr,  ldrr,  ldrr,  ldrr,  ldrr,  nop,   ldrm,  ldrr,
    /* 70 */ ldmr,  ldmr,  ldmr,  ldmr,  ldmr,  ldmr,  halt,  ldmr,  ldrr,  ldrr,  ldrr,  ldrr,  ldrr,  ldrr,  ldrm,  nop,
    /* 80 */ addr,  addr,  addr,  addr,  addr,  addr,  addm,  addr,  adcr,  adcr,  adcr,  adcr,  adcr,  adcr,  adcm,  adcr,
    /* 90 */ subr,  subr,  subr,  subr,  subr,  subr,  subm,  subr,  sbcr,  sbcr,  sbcr,  sbcr,  sbcr,  sbcr,  sbcm,  sbcr,
    /* A0 */ andr,  andr,  andr,  andr,  andr,  andr,  andm,  andr,  xorr,  xorr,  xorr,  xorr,  xorr,  xorr,  xorm,  xorr,
    /* B0 */ orr,   orr,   orr,   orr,   orr,   orr,   orm,   orr,   cpr,   cpr,   cpr,   cpr,   cpr,   cpr,   cpm,   cpr,
    /* C0 */ retc,  pop,   jpc,   jp,    callc, push,  addn,  rst,   retc,  ret,   jpc,   CB,    callc, call,  adcn,  rst,
    /* D0 */ retc,  pop,   jpc,   outa,  callc, push,  subn,  rst,   retc,  exx,   jpc,   ina,   callc, DD,    sbcn,  rst,
    /* E0 */ retc,  pop,   jpc,   exsp,  callc, push,  andn,  rst,   retc,  jphl,  jpc,   exdh,  callc, ED,    xorn,  rst,
    /* F0 */ retc,  pop,   jpc,   di,    callc, push,  orn,   rst,   retc,  ldsp,  jpc,   ei,    callc, FD,    cpn,   rst,
};

//           x0    x1    x2    x3    x4    x5    x6    x7    x8    x9    xA    xB    xC    xD    xE    xF
inline constexpr OpClass CbDecodeTable[256] = {
    /* 00 */ rlcr, rlcr, rlcr, rlcr, rlcr, rlcr, rlcm, rlcr, rrcr, rrcr, rrcr, rrcr, rrcr, rrcr, rrcm, rrcr,
    /* 10 */ rlr,  rlr,  rlr,  rlr,  rlr,  rlr,  rlm,  rlr,  rrr,  rrr,  rrr,  rrr,  rrr,  rrr,  rrm,  rrr,
    /* 20 */ slar, slar, slar, slar, slar, slar, slam, slar, srar, srar, srar, srar, srar, srar, sram, srar,
    /* 30 */ sllr, sllr, sllr, sllr, sllr, sllr, sllm, sllr, srlr, srlr, srlr, srlr, srlr, srlr, srlm, srlr,
    /* 40 */ bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr, bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr,
    /* 50 */ bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr, bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr,
    /* 60 */ bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr, bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr,
    /* 70 */ bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr, bitr, bitr, bitr, bitr, bitr, bitr, bitm, bitr,
    /* 80 */ resr, resr, resr, resr, resr, resr, resm, resr, resr, resr, resr, resr, resr, resr, resm, resr,
    /* 90 */ resr, resr, resr, resr, resr, resr, resm, resr, resr, resr, resr, resr, resr, resr, resm, resr,
    /* A0 */ resr, resr, resr, resr, resr, resr, resm, resr, resr, resr, resr, resr, resr, resr, resm, resr,
    /* B0 */ resr, resr, resr, resr, resr, resr, resm, resr, resr, resr, resr, resr, resr, resr, resm, resr,
    /* C0 */ setr, setr, setr, setr, setr, setr, setm, setr, setr, setr, setr, setr, setr, setr, setm, setr,
    /* D0 */ setr, setr, setr, setr, setr, setr, setm, setr, setr, setr, setr, setr, setr, setr, setm, setr,
    /* E0 */ setr, setr, setr, setr, setr, setr, setm, setr, setr, setr, setr, setr, setr, setr, setm, setr,
    /* F0 */ setr, setr, setr, setr, setr, setr, setm, setr, setr, setr, setr, setr, setr, setr, setm, setr,
};

//           x0     x1     x2     x3     x4     x5     x6     x7     x8     x9     xA     xB     xC     xD     xE     xF
inline constexpr OpClass EdDecodeTable[256] = {
    /* 00 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* 10 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* 20 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* 30 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* 40 */ inr,   outr,  sbchl, ldap,  neg,   retn,  im0,   ldia,  inr,   outr,  adchl, ldpa,  neg,   retn,  im0,   ldra,
    /* 50 */ inr,   outr,  sbchl, ldap,  neg,   retn,  im1,   ldai,  inr,   outr,  adchl, ldpa,  neg,   retn,  im2,   ldar,
    /* 60 */ inr,   outr,  sbchl, ldap,  neg,   retn,  im0,   rrd,   inr,   outr,  adchl, ldpa,  neg,   retn,  im0,   rld,
    /* 70 */ inf,   out0,  sbchl, ldap,  neg,   retn,  im1,   undef, inr,   outr,  adchl, ldpa,  neg,   retn,  im2,   undef,
    /* 80 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* 90 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* A0 */ ldi,   cpi,   ini,   outi,  undef, undef, undef, undef, ldd,   cpd,   ind,   outd,  undef, undef, undef, undef,
    /* B0 */ ldir,  cpir,  inir,  otir,  undef, undef, undef, undef, lddr,  cpdr,  indr,  otdr,  undef, undef, undef, undef,
    /* C0 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* D0 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* E0 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
    /* F0 */ undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef, undef,
};
// clang-format on
}  // namespace decode_legend

using decode_legend::CbDecodeTable;
using decode_legend::EdDecodeTable;
using decode_legend::MainDecodeTable;
