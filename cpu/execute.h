// Instruction decode and dispatch. The decode tables give each opcode its
// operation class, and one handler per class does the work; the dispatch below
// turns the tables into one jump per unprefixed instruction.
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/compiler_hints.h"
#include "cpu/base_ops.h"
#include "cpu/block_ops.h"
#include "cpu/cb_ops.h"
#include "cpu/cpu_access.h"
#include "cpu/cpu_state.h"
#include "cpu/decode_tables.h"
#include "cpu/ed_ops.h"
#include "cpu/opcode_cases.h"

namespace z80 {

template <class Bus>
RunRegisters ExecutePrefixed(Exec<Bus> x, OpClass prefix);

// The instruction of class opClass whose opcode byte is op, with the register
// map m. Inlined with constant arguments, the switch folds to the one case.
template <class Bus>
TARVO_FORCE_INLINE void ExecuteClass(Exec<Bus>& x, const RegisterMap& m, OpClass opClass, std::uint8_t op) {
    CpuState& cpu = x.cpu;
    Bus& bus = x.bus;
    switch (opClass) {
        case OpClass::PrefixDD:
        case OpClass::PrefixFD:
        case OpClass::PrefixED:
        case OpClass::PrefixCB: {
            // x is passed as a copy so that PC and R, not escaping, can stay
            // in host registers on the common unprefixed path.
            RunRegisters after = ExecutePrefixed(x, opClass);
            x.pc = after.pc;
            x.r = after.r;
            return;
        }

        // Loads
        case OpClass::Nop:
        case OpClass::Halt:  // the board's CPU never halts: HALT is a NOP
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
        case OpClass::Ei: cpu.IFF1 = cpu.IFF2 = 1; return;  // in force at once
        case OpClass::Jp: x.pc = FetchWord(x); return;
        case OpClass::JpCond: JumpAbsolute(x, ConditionHolds(alu::F(cpu), FieldR(op))); return;
        case OpClass::Jr: JumpRelative(x, true); return;
        case OpClass::JrCond: JumpRelative(x, ConditionHolds(alu::F(cpu), FieldR(op) & 3)); return;
        case OpClass::Djnz: Djnz(x); return;
        case OpClass::JpHl: x.pc = HlRole(cpu, m); return;
        case OpClass::Call: Call(x, true); return;
        case OpClass::CallCond: Call(x, ConditionHolds(alu::F(cpu), FieldR(op))); return;
        case OpClass::Ret: x.pc = Pop(cpu, bus); return;
        case OpClass::RetCond:
            if (ConditionHolds(alu::F(cpu), FieldR(op))) x.pc = Pop(cpu, bus);
            return;
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
        case OpClass::Ldir: Transfer(cpu, bus, +1, true); return;
        case OpClass::Lddr: Transfer(cpu, bus, -1, true); return;
        case OpClass::Cpi: Compare(cpu, bus, +1, false); return;
        case OpClass::Cpd: Compare(cpu, bus, -1, false); return;
        case OpClass::Cpir: Compare(cpu, bus, +1, true); return;
        case OpClass::Cpdr: Compare(cpu, bus, -1, true); return;
        case OpClass::Ini: BlockIn(cpu, bus, +1, false); return;
        case OpClass::Ind: BlockIn(cpu, bus, -1, false); return;
        case OpClass::Inir: BlockIn(cpu, bus, +1, true); return;
        case OpClass::Indr: BlockIn(cpu, bus, -1, true); return;
        case OpClass::Outi: BlockOut(cpu, bus, +1, false); return;
        case OpClass::Outd: BlockOut(cpu, bus, -1, false); return;
        case OpClass::Otir: BlockOut(cpu, bus, +1, true); return;
        case OpClass::Otdr: BlockOut(cpu, bus, -1, true); return;
        case OpClass::EdUndefined: return;
    }
    TARVO_UNREACHABLE();
}

// After a prefix byte: only the last of a run of DD/FD counts; ED drops it.
// Prefixed instructions are the rarer ones, so they take the table look-up
// and the class switch rather than a dispatch of their own.
template <class Bus>
RunRegisters ExecutePrefixed(Exec<Bus> x, OpClass prefix) {
    const RegisterMap* map = &kMainMap;
    OpClass opClass = prefix;
    std::uint8_t op = 0;
    for (;;) {
        switch (opClass) {
            case OpClass::PrefixDD:
                map = &kIxMap;
                op = FetchByte(x);
                opClass = MainDecodeTable[op];
                continue;
            case OpClass::PrefixFD:
                map = &kIyMap;
                op = FetchByte(x);
                opClass = MainDecodeTable[op];
                continue;
            case OpClass::PrefixED:
                map = &kMainMap;
                op = FetchByte(x);
                opClass = EdDecodeTable[op];
                continue;
            case OpClass::PrefixCB:
                if (!IsIndexed(*map)) {
                    op = FetchByte(x);
                    opClass = CbDecodeTable[op];
                } else {
                    // DD CB d op: PC stays on d. Every operation works on memory.
                    op = x.bus.Read(static_cast<std::uint16_t>(x.pc + 1));
                    opClass = CbDecodeTable[(op & 0xF8) | 6];
                }
                continue;
            default: ExecuteClass(x, *map, opClass, op); return RunRegisters{x.pc, x.r};
        }
    }
}

// The instruction whose first byte is op; further bytes are fetched at x.pc.
// One case per opcode byte, each the handler of its class from the decode
// table with the opcode as a constant: one jump instead of a table load and a
// class switch, and the register fields of the opcode resolved while compiling.
template <class Bus>
TARVO_FORCE_INLINE void Execute(Exec<Bus>& x, std::uint8_t op) {
    ++x.r;
    switch (op) {
#define TARVO_MAIN_CASE(n) \
    case n: ExecuteClass(x, kMainMap, MainDecodeTable[n], n); return;
        TARVO_EACH_OPCODE(TARVO_MAIN_CASE)
#undef TARVO_MAIN_CASE
    }
}

}  // namespace z80

// Executes the instruction whose first byte is op; further bytes (prefixed
// opcode, displacement, operands) are fetched at PC.
template <class Bus>
inline void ExecuteOpcode(CpuState& cpu, Bus& bus, std::uint8_t op) {
    z80::Exec<Bus> x{cpu, bus, cpu.PC, cpu.R};
    z80::Execute(x, op);
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
}

// Executes one instruction at PC. A fetch from a masked address reads FFh,
// which is RST 38h.
template <class Bus>
inline void StepCpu(CpuState& cpu, Bus& bus) {
    std::uint16_t at = cpu.PC;
    cpu.PC = static_cast<std::uint16_t>(at + 1);
    ExecuteOpcode(cpu, bus, bus.Read(at));
}

// Executes up to count instructions, one StepCpu each, stopping early before an
// instruction whose address stopBefore(pc) accepts. Returns how many ran.
// PC and R stay in host registers for the whole run.
template <class Bus, class StopBefore>
inline std::uint64_t RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count, StopBefore stopBefore) {
    z80::Exec<Bus> x{cpu, bus, cpu.PC, cpu.R};
    std::uint64_t done = 0;
    for (; done < count && !stopBefore(x.pc); ++done) {
        std::uint16_t at = x.pc++;
        z80::Execute(x, bus.Read(at));
    }
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
    return done;
}

template <class Bus>
inline void RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count) {
    RunCpu(cpu, bus, count, [](std::uint16_t) { return false; });
}
