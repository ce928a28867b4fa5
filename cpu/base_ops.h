// Handlers of the unprefixed instruction set that need more than a line or two.
// Under DD/FD the same handlers run with the index map (HL role = IX/IY, fields
// 4 and 5 = IXh/IXl, the memory operand = (IX+d)).
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/cpu_access.h"

namespace z80 {

// ADD ADC SUB SBC AND XOR OR CP, selected by bits 5-3 of the opcode family.
enum class AluOp { Add, Adc, Sub, Sbc, And, Xor, Or, Cp };

template <AluOp kOp>
inline void Alu8(CpuState& cpu, unsigned b) {
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
inline void AluWithMemory(CpuState& cpu, Bus& bus, const RegisterMap& map) {
    Alu8<kOp>(cpu, bus.Read(MemoryOperand(cpu, bus, map)));
}

template <class Bus>
inline void LdRegMem(CpuState& cpu, Bus& bus, const RegisterMap& map, std::uint8_t op) {
    // The register is always B..L/A, never IXh/IXl, even under a prefix.
    std::uint8_t v = bus.Read(MemoryOperand(cpu, bus, map));
    Reg8(cpu, cpu.mainMap, FieldR(op)) = v;
}

template <class Bus>
inline void LdMemReg(CpuState& cpu, Bus& bus, const RegisterMap& map, std::uint8_t op) {
    std::uint16_t address = MemoryOperand(cpu, bus, map);
    bus.Write(address, Reg8(cpu, cpu.mainMap, FieldS(op)));
}

template <class Bus>
inline void LdMemImm(CpuState& cpu, Bus& bus, const RegisterMap& map) {
    std::uint16_t address = MemoryOperand(cpu, bus, map);  // displacement before n
    bus.Write(address, FetchByte(cpu, bus));
}

template <class Bus>
inline void IncDecMem(CpuState& cpu, Bus& bus, const RegisterMap& map, bool increment) {
    std::uint16_t address = MemoryOperand(cpu, bus, map);
    std::uint8_t v = bus.Read(address);
    bus.Write(address, increment ? alu::Inc(cpu, v) : alu::Dec(cpu, v));
}

inline void Exchange(std::uint16_t& a, std::uint16_t& b) {
    std::uint16_t t = a;
    a = b;
    b = t;
}

inline void Exx(CpuState& cpu) {
    Exchange(cpu.BC, cpu.BC_);
    Exchange(cpu.DE, cpu.DE_);
    Exchange(cpu.HL, cpu.HL_);
}

template <class Bus>
inline void ExSpHl(CpuState& cpu, Bus& bus, const RegisterMap& map) {
    std::uint16_t v = bus.ReadWord16(cpu.SP);
    bus.WriteWord16(cpu.SP, HlRole(cpu, map));
    HlRole(cpu, map) = v;
}

inline void RotateA(CpuState& cpu, std::uint8_t op) {
    unsigned a = alu::A(cpu);
    unsigned c = alu::F(cpu) & kFlagC;
    switch (op) {
        case 0x07: alu::SetRotateAFlags(cpu, ((a << 1) | (a >> 7)) & 0xFF, a >> 7); break;  // RLCA
        case 0x0F: alu::SetRotateAFlags(cpu, (a >> 1) | ((a & 1) << 7), a & 1); break;     // RRCA
        case 0x17: alu::SetRotateAFlags(cpu, ((a << 1) | c) & 0xFF, a >> 7); break;        // RLA
        default: alu::SetRotateAFlags(cpu, (a >> 1) | (c << 7), a & 1); break;             // RRA
    }
}

template <class Bus>
inline void JumpRelative(CpuState& cpu, Bus& bus, bool taken) {
    auto e = static_cast<std::int8_t>(bus.Read(cpu.PC));
    cpu.PC = static_cast<std::uint16_t>(cpu.PC + 1 + (taken ? e : 0));
}

template <class Bus>
inline void Djnz(CpuState& cpu, Bus& bus) {
    auto b = static_cast<std::uint8_t>((cpu.BC >> 8) - 1);
    cpu.BC = static_cast<std::uint16_t>((b << 8) | (cpu.BC & 0xFF));
    JumpRelative(cpu, bus, b != 0);
}

template <class Bus>
inline void JumpAbsolute(CpuState& cpu, Bus& bus, bool taken) {
    std::uint16_t target = FetchWord(cpu, bus);
    if (taken) cpu.PC = target;
}

template <class Bus>
inline void Call(CpuState& cpu, Bus& bus, bool taken) {
    std::uint16_t target = FetchWord(cpu, bus);
    if (!taken) return;
    Push(cpu, bus, cpu.PC);
    cpu.PC = target;
}

}  // namespace z80
