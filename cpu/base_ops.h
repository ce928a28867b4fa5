// Handlers of the unprefixed instruction set that need more than a line or two.
// Under DD/FD the same handlers run with the index map (HL role = IX/IY, fields
// 4 and 5 = IXh/IXl, the memory operand = (IX+d)).
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/cpu_access.h"
#include "cpu/t_states.h"

namespace z80 {

// ADD ADC SUB SBC AND XOR OR CP: one class per operation and operand kind.
enum class AluOp { Add, Adc, Sub, Sbc, And, Xor, Or, Cp };

template <AluOp kOp>
TARVO_FORCE_INLINE void Alu8(CpuState& cpu, unsigned b) {
    unsigned carry = alu::F(cpu) & kFlagC;
    switch (kOp) {
        case AluOp::Add: alu::Add(cpu, b, 0); break;
        case AluOp::Adc: alu::Add(cpu, b, carry); break;
        case AluOp::Sub: alu::Sub(cpu, b, 0); break;
        case AluOp::Sbc: alu::Sub(cpu, b, carry); break;
        case AluOp::And: alu::And(cpu, b); break;
        case AluOp::Xor: alu::Xor(cpu, b); break;
        case AluOp::Or: alu::Or(cpu, b); break;
        case AluOp::Cp: alu::Cp(cpu, b); break;
    }
}

template <AluOp kOp, class Bus>
TARVO_FORCE_INLINE void AluWithMemory(Exec<Bus>& x, const RegisterMap& map) {
    Alu8<kOp>(x.cpu, x.bus.Read(MemoryOperand(x, map)));
}

template <class Bus>
TARVO_FORCE_INLINE void LdRegMem(Exec<Bus>& x, const RegisterMap& map, std::uint8_t op) {
    // The register is always B..L/A, never IXh/IXl, even under a prefix.
    std::uint8_t v = x.bus.Read(MemoryOperand(x, map));
    Reg8(x.cpu, kMainMap, FieldR(op)) = v;
}

template <class Bus>
TARVO_FORCE_INLINE void LdMemReg(Exec<Bus>& x, const RegisterMap& map, std::uint8_t op) {
    std::uint16_t address = MemoryOperand(x, map);
    x.bus.Write(address, Reg8(x.cpu, kMainMap, FieldS(op)));
}

template <class Bus>
TARVO_FORCE_INLINE void LdMemImm(Exec<Bus>& x, const RegisterMap& map) {
    std::uint16_t address = MemoryOperand(x, map);  // the displacement comes before n
    x.bus.Write(address, FetchByte(x));
}

template <class Bus>
TARVO_FORCE_INLINE void IncDecMem(Exec<Bus>& x, const RegisterMap& map, bool increment) {
    std::uint16_t address = MemoryOperand(x, map);
    std::uint8_t v = x.bus.Read(address);
    x.bus.Write(address, increment ? alu::Inc(x.cpu, v) : alu::Dec(x.cpu, v));
}

TARVO_FORCE_INLINE void Exchange(std::uint16_t& a, std::uint16_t& b) {
    std::uint16_t t = a;
    a = b;
    b = t;
}

TARVO_FORCE_INLINE void Exx(CpuState& cpu) {
    Exchange(cpu.BC, cpu.BC_);
    Exchange(cpu.DE, cpu.DE_);
    Exchange(cpu.HL, cpu.HL_);
}

template <class Bus>
TARVO_FORCE_INLINE void ExSpHl(Exec<Bus>& x, const RegisterMap& map) {
    std::uint16_t v = x.bus.ReadWord16(x.cpu.SP);
    x.bus.WriteWord16(x.cpu.SP, HlRole(x.cpu, map));
    HlRole(x.cpu, map) = v;
}

TARVO_FORCE_INLINE void RotateA(CpuState& cpu, std::uint8_t op) {
    unsigned a = alu::A(cpu);
    unsigned c = alu::F(cpu) & kFlagC;
    switch (op) {
        case 0x07: alu::SetRotateAFlags(cpu, ((a << 1) | (a >> 7)) & 0xFF, a >> 7); break;  // RLCA
        case 0x0F: alu::SetRotateAFlags(cpu, (a >> 1) | ((a & 1) << 7), a & 1); break;     // RRCA
        case 0x17: alu::SetRotateAFlags(cpu, ((a << 1) | c) & 0xFF, a >> 7); break;        // RLA
        default: alu::SetRotateAFlags(cpu, (a >> 1) | (c << 7), a & 1); break;             // RRA
    }
}

// The conditional jumps, calls and returns: takenExtra is what the jump
// adds to the instruction's T-states when taken (see cpu/t_states.h).
template <class Bus>
TARVO_FORCE_INLINE void JumpRelative(Exec<Bus>& x, bool taken, std::uint32_t takenExtra) {
    auto e = static_cast<std::int8_t>(FetchByte(x));
    if (!taken) return;
    x.pc = static_cast<std::uint16_t>(x.pc + e);
    x.tStates += takenExtra;
}

template <class Bus>
TARVO_FORCE_INLINE void Djnz(Exec<Bus>& x) {
    auto b = static_cast<std::uint8_t>((x.cpu.BC >> 8) - 1);
    x.cpu.BC = static_cast<std::uint16_t>((b << 8) | (x.cpu.BC & 0xFF));
    JumpRelative(x, b != 0, kDjnzTakenExtra);
}

template <class Bus>
TARVO_FORCE_INLINE void JumpAbsolute(Exec<Bus>& x, bool taken) {
    std::uint16_t target = FetchWord(x);
    if (taken) x.pc = target;
}

template <class Bus>
TARVO_FORCE_INLINE void Call(Exec<Bus>& x, bool taken, std::uint32_t takenExtra) {
    std::uint16_t target = FetchWord(x);
    if (!taken) return;
    Push(x.cpu, x.bus, x.pc);
    x.pc = target;
    x.tStates += takenExtra;
}

template <class Bus>
TARVO_FORCE_INLINE void Return(Exec<Bus>& x, bool taken, std::uint32_t takenExtra) {
    if (!taken) return;
    x.pc = Pop(x.cpu, x.bus);
    x.tStates += takenExtra;
}

}  // namespace z80
