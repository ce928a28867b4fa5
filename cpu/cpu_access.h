// Operand fetch, stack and register-field access shared by all handlers.
#pragma once

#include <cstdint>

#include "cpu/cpu_state.h"

namespace z80 {

template <class Bus>
inline std::uint8_t FetchByte(CpuState& cpu, Bus& bus) {
    return bus.Read(cpu.PC++);
}

template <class Bus>
inline std::uint16_t FetchWord(CpuState& cpu, Bus& bus) {
    std::uint16_t v = bus.ReadWord16(cpu.PC);
    cpu.PC = static_cast<std::uint16_t>(cpu.PC + 2);
    return v;
}

template <class Bus>
inline void Push(CpuState& cpu, Bus& bus, std::uint16_t v) {
    cpu.SP = static_cast<std::uint16_t>(cpu.SP - 2);
    bus.WriteWord16(cpu.SP, v);
}

template <class Bus>
inline std::uint16_t Pop(CpuState& cpu, Bus& bus) {
    std::uint16_t v = bus.ReadWord16(cpu.SP);
    cpu.SP = static_cast<std::uint16_t>(cpu.SP + 2);
    return v;
}

inline bool IsIndexed(const CpuState& cpu, const RegisterMap& map) { return &map != &cpu.mainMap; }

// The memory operand (HL), or (IX+d)/(IY+d) with d read at PC.
template <class Bus>
inline std::uint16_t MemoryOperand(CpuState& cpu, Bus& bus, const RegisterMap& map) {
    if (!IsIndexed(cpu, map)) return cpu.HL;
    auto d = static_cast<std::int8_t>(FetchByte(cpu, bus));
    return static_cast<std::uint16_t>(WordAt(cpu, map.slots[kSlotHl]) + d);
}

// Register fields of an opcode: r = bits 5-3, s = bits 2-0, p = bits 5-4.
inline unsigned FieldR(std::uint8_t op) { return (op >> 3) & 7u; }
inline unsigned FieldS(std::uint8_t op) { return op & 7u; }
inline unsigned FieldP(std::uint8_t op) { return (op >> 4) & 3u; }

inline std::uint8_t& Reg8(CpuState& cpu, const RegisterMap& map, unsigned field) {
    return ByteAt(cpu, map.slots[field]);
}
inline std::uint16_t& HlRole(CpuState& cpu, const RegisterMap& map) { return WordAt(cpu, map.slots[kSlotHl]); }
inline std::uint16_t& Pair(CpuState& cpu, const RegisterMap& map, unsigned p) {
    return WordAt(cpu, map.slots[kSlotPairs + p]);
}
inline std::uint16_t& StackPair(CpuState& cpu, const RegisterMap& map, unsigned p) {
    return WordAt(cpu, map.slots[kSlotStack + p]);
}

inline void IncrementR(CpuState& cpu) {
    cpu.R = static_cast<std::uint16_t>((cpu.R & 0x80) | ((cpu.R + 1) & 0x7F));
}

}  // namespace z80
