// Instruction decode and dispatch. The decode tables give each opcode its
// operation class, and one handler per class does the work; Execute turns the
// tables into one jump per unprefixed instruction.
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/base_ops.h"
#include "cpu/block_ops.h"
#include "cpu/cb_ops.h"
#include "cpu/compiler_hints.h"
#include "cpu/cpu_access.h"
#include "cpu/cpu_state.h"
#include "cpu/decode_tables.h"
#include "cpu/ed_ops.h"
#include "cpu/opcode_cases.h"
#include "cpu/t_states.h"

namespace z80 {

template <class Bus>
RunRegisters ExecutePrefixed(CpuState& cpu, typename RunBus<Bus>::Type bus, RunRegisters run, OpClass prefix);
template <class Bus>
void ExecuteIndexedCb(Exec<Bus>& x, const RegisterMap& m);

// The instruction of class kClass whose opcode byte is op, with the register
// map m. Each class makes its own small function, the switch folded to the
// one case, which the dispatch then inlines with op and m constant.
template <OpClass kClass, class Bus>
TARVO_FORCE_INLINE void ExecuteClass(Exec<Bus>& x, const RegisterMap& m, std::uint8_t op) {
    CpuState& cpu = x.cpu;
    auto& bus = x.bus;
    switch (kClass) {
        case OpClass::PrefixDD:
        case OpClass::PrefixFD:
        case OpClass::PrefixED:
        case OpClass::PrefixCB: {
            // PC and R go by value, in host registers: passing x itself would
            // let them escape, and copying it costs a store and reload stall.
            RunRegisters after = ExecutePrefixed<Bus>(x.cpu, x.bus, RunRegisters{x.pc, x.r, 0}, kClass);
            x.pc = after.pc;
            x.r = after.r;
            x.tStates += after.tStates;
            return;
        }

        // Loads
        case OpClass::Nop:
        case OpClass::Halt:  // kept on purpose: HALT executed as a NOP, and timed as one; the board's CPU never halts
            return;
        case OpClass::LdRegReg: Reg8(cpu, m, FieldR(op)) = Reg8(cpu, m, FieldS(op)); return;
        case OpClass::LdRegImm: Reg8(cpu, m, FieldR(op)) = FetchByte(x); return;
        case OpClass::LdRegMem: LdRegMem(x, m, op); return;
        case OpClass::LdMemReg: LdMemReg(x, m, op); return;
        case OpClass::LdMemImm: LdMemImm(x, m); return;
        case OpClass::LdABc: alu::SetA(cpu, bus.Read(cpu.BC)); return;
        case OpClass::LdADe: alu::SetA(cpu, bus.Read(cpu.DE)); return;
        case OpClass::LdAAbs: alu::SetA(cpu, bus.Read(FetchWord(x))); return;
        case OpClass::LdBcA: bus.Write(cpu.BC, alu::A(cpu)); return;
        case OpClass::LdDeA: bus.Write(cpu.DE, alu::A(cpu)); return;
        case OpClass::LdAbsA: bus.Write(FetchWord(x), alu::A(cpu)); return;
        case OpClass::LdPairImm: Pair(cpu, m, FieldP(op)) = FetchWord(x); return;
        case OpClass::LdHlAbs: HlRole(cpu, m) = bus.ReadWord16(FetchWord(x)); return;
        case OpClass::LdAbsHl: bus.WriteWord16(FetchWord(x), HlRole(cpu, m)); return;
        case OpClass::LdSpHl: cpu.SP = HlRole(cpu, m); return;
        case OpClass::Push: Push(cpu, bus, StackPair(cpu, m, FieldP(op))); return;
        case OpClass::Pop: StackPair(cpu, m, FieldP(op)) = Pop(cpu, bus); return;
        case OpClass::ExDeHl: Exchange(cpu.DE, cpu.HL); return;  // never IX/IY
        case OpClass::ExAf: Exchange(cpu.AF, cpu.AF_); return;
        case OpClass::Exx: Exx(cpu); return;
        case OpClass::ExSpHl: ExSpHl(x, m); return;

        // 8-bit arithmetic and logic: register, immediate, memory
        case OpClass::AddReg: Alu8<AluOp::Add>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::AddImm: Alu8<AluOp::Add>(cpu, FetchByte(x)); return;
        case OpClass::AddMem: AluWithMemory<AluOp::Add>(x, m); return;
        case OpClass::AdcReg: Alu8<AluOp::Adc>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::AdcImm: Alu8<AluOp::Adc>(cpu, FetchByte(x)); return;
        case OpClass::AdcMem: AluWithMemory<AluOp::Adc>(x, m); return;
        case OpClass::SubReg: Alu8<AluOp::Sub>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::SubImm: Alu8<AluOp::Sub>(cpu, FetchByte(x)); return;
        case OpClass::SubMem: AluWithMemory<AluOp::Sub>(x, m); return;
        case OpClass::SbcReg: Alu8<AluOp::Sbc>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::SbcImm: Alu8<AluOp::Sbc>(cpu, FetchByte(x)); return;
        case OpClass::SbcMem: AluWithMemory<AluOp::Sbc>(x, m); return;
        case OpClass::AndReg: Alu8<AluOp::And>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::AndImm: Alu8<AluOp::And>(cpu, FetchByte(x)); return;
        case OpClass::AndMem: AluWithMemory<AluOp::And>(x, m); return;
        case OpClass::XorReg: Alu8<AluOp::Xor>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::XorImm: Alu8<AluOp::Xor>(cpu, FetchByte(x)); return;
        case OpClass::XorMem: AluWithMemory<AluOp::Xor>(x, m); return;
        case OpClass::OrReg: Alu8<AluOp::Or>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::OrImm: Alu8<AluOp::Or>(cpu, FetchByte(x)); return;
        case OpClass::OrMem: AluWithMemory<AluOp::Or>(x, m); return;
        case OpClass::CpReg: Alu8<AluOp::Cp>(cpu, Reg8(cpu, m, FieldS(op))); return;
        case OpClass::CpImm: Alu8<AluOp::Cp>(cpu, FetchByte(x)); return;
        case OpClass::CpMem: AluWithMemory<AluOp::Cp>(x, m); return;

        // INC, DEC and 16-bit arithmetic
        case OpClass::IncReg: {
            std::uint8_t& reg = Reg8(cpu, m, FieldR(op));
            reg = alu::Inc(cpu, reg);
            return;
        }
        case OpClass::DecReg: {
            std::uint8_t& reg = Reg8(cpu, m, FieldR(op));
            reg = alu::Dec(cpu, reg);
            return;
        }
        case OpClass::IncMem: IncDecMem(x, m, true); return;
        case OpClass::DecMem: IncDecMem(x, m, false); return;
        case OpClass::AddHlPair: HlRole(cpu, m) = alu::Add16(cpu, HlRole(cpu, m), Pair(cpu, m, FieldP(op))); return;
        case OpClass::IncPair: ++Pair(cpu, m, FieldP(op)); return;
        case OpClass::DecPair: --Pair(cpu, m, FieldP(op)); return;

        // Accumulator and flags
        case OpClass::Daa: alu::Daa(cpu); return;
        case OpClass::Cpl: alu::Cpl(cpu); return;
        case OpClass::Scf: alu::Scf(cpu); return;
        case OpClass::Ccf: alu::Ccf(cpu); return;
        case OpClass::Rlca:
        case OpClass::Rla:
        case OpClass::Rrca:
        case OpClass::Rra: RotateA(cpu, op); return;

        // Control
        case OpClass::Di: cpu.IFF1 = cpu.IFF2 = 0; return;
        case OpClass::Ei: cpu.IFF1 = cpu.IFF2 = 1; return;  // kept on purpose: EI in force at once
        case OpClass::Jp: x.pc = FetchWord(x); return;
        case OpClass::JpCond: JumpAbsolute(x, ConditionHolds(alu::F(cpu), FieldR(op))); return;
        case OpClass::Jr: JumpRelative(x, true, 0); return;
        case OpClass::JrCond: JumpRelative(x, ConditionHolds(alu::F(cpu), FieldR(op) & 3), kJrTakenExtra); return;
        case OpClass::Djnz: Djnz(x); return;
        case OpClass::JpHl: x.pc = HlRole(cpu, m); return;
        case OpClass::Call: Call(x, true, 0); return;
        case OpClass::CallCond: Call(x, ConditionHolds(alu::F(cpu), FieldR(op)), kCallTakenExtra); return;
        case OpClass::Ret: x.pc = Pop(cpu, bus); return;
        case OpClass::RetCond: Return(x, ConditionHolds(alu::F(cpu), FieldR(op)), kRetTakenExtra); return;
        case OpClass::Rst:
            Push(cpu, bus, x.pc);
            x.pc = op & 0x38u;
            return;
        case OpClass::InAImm: alu::SetA(cpu, bus.In(FetchByte(x))); return;
        case OpClass::OutImmA: bus.Out(FetchByte(x), alu::A(cpu)); return;

        // CB set
        case OpClass::RlcReg:
        case OpClass::RrcReg:
        case OpClass::RlReg:
        case OpClass::RrReg:
        case OpClass::SlaReg:
        case OpClass::SraReg:
        case OpClass::SllReg:
        case OpClass::SrlReg: RotateShiftReg(cpu, m, op); return;
        case OpClass::RlcMem:
        case OpClass::RrcMem:
        case OpClass::RlMem:
        case OpClass::RrMem:
        case OpClass::SlaMem:
        case OpClass::SraMem:
        case OpClass::SllMem:
        case OpClass::SrlMem: RotateShiftMem(x, m, op); return;
        case OpClass::BitReg: BitReg(cpu, m, op); return;
        case OpClass::BitMem: BitMem(x, m, op); return;
        case OpClass::ResReg: ResSetReg(cpu, m, op, false); return;
        case OpClass::ResMem: ResSetMem(x, m, op, false); return;
        case OpClass::SetReg: ResSetReg(cpu, m, op, true); return;
        case OpClass::SetMem: ResSetMem(x, m, op, true); return;

        // ED set
        case OpClass::InRegC: Reg8(cpu, m, FieldR(op)) = InFromC(cpu, bus); return;
        case OpClass::InFlagsC: InFromC(cpu, bus); return;
        case OpClass::OutCReg: bus.Out(cpu.BC & 0xFF, Reg8(cpu, m, FieldR(op))); return;
        case OpClass::OutCZero: bus.Out(cpu.BC & 0xFF, 0); return;
        case OpClass::SbcHlPair: cpu.HL = alu::Sbc16(cpu, cpu.HL, Pair(cpu, m, FieldP(op))); return;
        case OpClass::AdcHlPair: cpu.HL = alu::Adc16(cpu, cpu.HL, Pair(cpu, m, FieldP(op))); return;
        case OpClass::LdAbsPair: bus.WriteWord16(FetchWord(x), Pair(cpu, m, FieldP(op))); return;
        case OpClass::LdPairAbs: Pair(cpu, m, FieldP(op)) = bus.ReadWord16(FetchWord(x)); return;
        case OpClass::Neg: Neg(cpu); return;
        case OpClass::Retn: Retn(x); return;
        case OpClass::Im0: cpu.IM = 0; return;
        case OpClass::Im1: cpu.IM = 1; return;
        case OpClass::Im2: cpu.IM = 2; return;
        case OpClass::LdIA: cpu.I = alu::A(cpu); return;
        case OpClass::LdRA: x.r = cpu.R = alu::A(cpu); return;
        case OpClass::LdAI: LoadAFromSpecial(cpu, cpu.I); return;
        case OpClass::LdAR: LoadAFromSpecial(cpu, CurrentR(x)); return;
        case OpClass::Rrd: RotateDigits(cpu, bus, false); return;
        case OpClass::Rld: RotateDigits(cpu, bus, true); return;
        case OpClass::Ldi: Transfer(cpu, bus, +1, false); return;
        case OpClass::Ldd: Transfer(cpu, bus, -1, false); return;
        case OpClass::Ldir: x.tStates += BlockRepeatExtra(Transfer(cpu, bus, +1, true)); return;
        case OpClass::Lddr: x.tStates += BlockRepeatExtra(Transfer(cpu, bus, -1, true)); return;
        case OpClass::Cpi: Compare(cpu, bus, +1, false); return;
        case OpClass::Cpd: Compare(cpu, bus, -1, false); return;
        case OpClass::Cpir: x.tStates += BlockRepeatExtra(Compare(cpu, bus, +1, true)); return;
        case OpClass::Cpdr: x.tStates += BlockRepeatExtra(Compare(cpu, bus, -1, true)); return;
        case OpClass::Ini: BlockIn(cpu, bus, +1, false); return;
        case OpClass::Ind: BlockIn(cpu, bus, -1, false); return;
        case OpClass::Inir: x.tStates += BlockRepeatExtra(BlockIn(cpu, bus, +1, true)); return;
        case OpClass::Indr: x.tStates += BlockRepeatExtra(BlockIn(cpu, bus, -1, true)); return;
        case OpClass::Outi: BlockOut(cpu, bus, +1, false); return;
        case OpClass::Outd: BlockOut(cpu, bus, -1, false); return;
        case OpClass::Otir: x.tStates += BlockRepeatExtra(BlockOut(cpu, bus, +1, true)); return;
        case OpClass::Otdr: x.tStates += BlockRepeatExtra(BlockOut(cpu, bus, -1, true)); return;
        case OpClass::EdUndefined: return;
    }
    TARVO_UNREACHABLE();
}

// What an instruction after a prefix leaves to do: nothing, or the
// instruction after one more prefix.
constexpr OpClass kNoPrefixFollows = OpClass::Nop;

template <OpClass kClass, class Bus>
TARVO_FORCE_INLINE OpClass ExecuteAfterPrefix(Exec<Bus>& x, const RegisterMap& m, std::uint8_t op) {
    if constexpr (kClass == OpClass::PrefixDD || kClass == OpClass::PrefixFD || kClass == OpClass::PrefixED) {
        return kClass;
    } else if constexpr (kClass == OpClass::PrefixCB) {
        ExecuteIndexedCb(x, m);  // CB comes after a prefix only as DD CB / FD CB
    } else {
        ExecuteClass<kClass>(x, m, op);
    }
    return kNoPrefixFollows;
}

// The instruction after a prefix, with the prefix's decode table and
// register map: one case per opcode byte, as for unprefixed instructions (see
// Execute). Adds its T-states from the prefix's table to tStates, a local of
// the caller kept apart from x (which may live in memory here) so that the
// sum is put together in registers; the handler adds any more to x.tStates.
template <const OpClass (&kTable)[256], const TStateTable& kTStates, class Bus>
TARVO_FORCE_INLINE OpClass ExecuteWithTable(Exec<Bus>& x, const RegisterMap& m, std::uint32_t& tStates) {
    switch (FetchByte(x)) {
#define TARVO_PREFIXED_CASE(n) \
    case n:                    \
        tStates += kTStates[n]; \
        return ExecuteAfterPrefix<kTable[n]>(x, m, n);
        TARVO_EACH_OPCODE(TARVO_PREFIXED_CASE)
#undef TARVO_PREFIXED_CASE
    }
    TARVO_UNREACHABLE();
}

// DD CB d op / FD CB d op: PC stays on d, which the handler reads. Every
// operation works on memory: the class is that of op with 6 (memory) in its
// low bits, one of 32 rows of the CB table.
template <class Bus>
TARVO_PREFIXED_INLINE void ExecuteIndexedCb(Exec<Bus>& x, const RegisterMap& m) {
    std::uint8_t op = x.bus.Read(static_cast<std::uint16_t>(x.pc + 1));
    switch (op >> 3) {
#define TARVO_INDEXED_CB_CASE(n)                        \
    case (n) >> 3:                                      \
        x.tStates += kAfterIndexCbTStates[n];           \
        ExecuteClass<CbDecodeTable[(n) | 6]>(x, m, op); \
        return;
        TARVO_EACH_OPCODE_STEP_8(TARVO_INDEXED_CB_CASE)
#undef TARVO_INDEXED_CB_CASE
    }
}

// A prefix after a prefix (DD DD, FD ED and the like). Only the last of a run
// of DD/FD counts, and ED drops it: each prefix met goes round the loop again,
// which calls nothing that could come back here, so that the prefixed
// instructions can be forced inline into the dispatch (TARVO_RUN_IN_LOCALS)
// by every compiler. Rare, so one decoding serves IX and IY alike. The
// instruction is now longer than four bytes: its fetches are tested
// (CheckedBus).
template <class Bus>
TARVO_NO_INLINE RunRegisters ExecuteNestedPrefix(CpuState& cpu, typename RunBus<Bus>::Type bus, RunRegisters run,
                                                 OpClass prefix) {
    Exec<Bus> x{cpu, bus, run.pc, run.r, 0};
    std::uint32_t tStates = 0;
    do {
        if (prefix == OpClass::PrefixED) {
            prefix = ExecuteWithTable<EdDecodeTable, kAfterEdTStates>(x, kMainMap, tStates);
        } else {
            prefix = ExecuteWithTable<MainDecodeTable, kAfterIndexTStates>(
                x, prefix == OpClass::PrefixDD ? kIxMap : kIyMap, tStates);
        }
    } while (prefix != kNoPrefixFollows);
    return RunRegisters{x.pc, x.r, tStates + x.tStates};
}

// After a prefix byte; a second prefix leaves through ExecuteNestedPrefix.
template <class Bus>
TARVO_PREFIXED_INLINE RunRegisters ExecutePrefixed(CpuState& cpu, typename RunBus<Bus>::Type bus, RunRegisters run,
                                                   OpClass prefix) {
    Exec<Bus> x{cpu, bus, run.pc, run.r, 0};
    std::uint32_t tStates = 0;
    OpClass next;
    switch (prefix) {
        case OpClass::PrefixDD: next = ExecuteWithTable<MainDecodeTable, kAfterIndexTStates>(x, kIxMap, tStates); break;
        case OpClass::PrefixFD: next = ExecuteWithTable<MainDecodeTable, kAfterIndexTStates>(x, kIyMap, tStates); break;
        case OpClass::PrefixED: next = ExecuteWithTable<EdDecodeTable, kAfterEdTStates>(x, kMainMap, tStates); break;
        default: next = ExecuteWithTable<CbDecodeTable, kAfterCbTStates>(x, kMainMap, tStates); break;
    }
    if (next == kNoPrefixFollows) return RunRegisters{x.pc, x.r, tStates + x.tStates};
    RunRegisters after =
        ExecuteNestedPrefix<typename CheckedBus<Bus>::Type>(cpu, x.bus, RunRegisters{x.pc, x.r, 0}, next);
    after.tStates += tStates + x.tStates;
    return after;
}

// After an unprefixed instruction of class kClass: what its handler added to
// x.tStates goes to the run's count, total. Known while compiling whether
// there can be any.
template <OpClass kClass, class Bus>
TARVO_FORCE_INLINE void CollectTStates(Exec<Bus>& x, std::uint64_t& total) {
    if constexpr (AddsToItsFigure(kClass)) {
        total += x.tStates;
        x.tStates = 0;
    }
}

// The instruction whose first byte is op; further bytes are fetched at x.pc.
// One case per opcode byte, each the handler of its class from the decode
// table with the opcode as a constant: one jump instead of a table load and a
// class switch, and the register fields of the opcode resolved while compiling.
// Its T-states, a constant too, and any the handler adds go to total.
template <class Bus>
TARVO_FORCE_INLINE void Execute(Exec<Bus>& x, std::uint8_t op, std::uint64_t& total) {
    ++x.r;
    switch (op) {
#define TARVO_MAIN_CASE(n)                                \
    case n:                                               \
        total += kUnprefixedTStates[n];                   \
        ExecuteClass<MainDecodeTable[n]>(x, kMainMap, n); \
        CollectTStates<MainDecodeTable[n]>(x, total);     \
        return;
        TARVO_EACH_OPCODE(TARVO_MAIN_CASE)
#undef TARVO_MAIN_CASE
    }
}

}  // namespace z80
