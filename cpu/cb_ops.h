// Handlers of the CB set: rotates and shifts, BIT, RES and SET, on a register
// or on memory. Under DD/FD every CB operation works on (IX+d)/(IY+d); an
// operation byte whose low bits are not 6 also copies the result into the
// plain register those bits name, as the Z80 does.
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/cpu_access.h"

namespace z80 {

// Where a CB memory form works. Under an index prefix, PC stands on d and the
// operation byte follows it; both are consumed here.
template <class Bus>
TARVO_FORCE_INLINE std::uint16_t CbMemoryOperand(Exec<Bus>& x, const RegisterMap& map) {
    if (!IsIndexed(map)) return x.cpu.HL;
    auto d = static_cast<std::int8_t>(x.bus.Read(x.pc));
    x.pc = static_cast<std::uint16_t>(x.pc + 2);
    return static_cast<std::uint16_t>(HlRole(x.cpu, map) + d);
}

// The result copy of DD CB d op / FD CB d op with low bits 0-5 or 7.
TARVO_FORCE_INLINE void CopyToRegister(CpuState& cpu, std::uint8_t op, std::uint8_t result) {
    if (FieldS(op) != 6) Reg8(cpu, kMainMap, FieldS(op)) = result;
}

TARVO_FORCE_INLINE void RotateShiftReg(CpuState& cpu, const RegisterMap& map, std::uint8_t op) {
    std::uint8_t& reg = Reg8(cpu, map, FieldS(op));
    reg = alu::RotateShift(cpu, FieldR(op), reg);
}

template <class Bus>
TARVO_FORCE_INLINE void RotateShiftMem(Exec<Bus>& x, const RegisterMap& map, std::uint8_t op) {
    std::uint16_t address = CbMemoryOperand(x, map);
    std::uint8_t result = alu::RotateShift(x.cpu, FieldR(op), x.bus.Read(address));
    x.bus.Write(address, result);
    CopyToRegister(x.cpu, op, result);
}

template <class Bus>
TARVO_FORCE_INLINE void BitMem(Exec<Bus>& x, const RegisterMap& map, std::uint8_t op) {
    std::uint16_t address = CbMemoryOperand(x, map);
    // Bits 5 and 3 of F come from the low byte of the address tested.
    alu::Bit(x.cpu, FieldR(op), x.bus.Read(address), address & 0xFFu);
}

TARVO_FORCE_INLINE void BitReg(CpuState& cpu, const RegisterMap& map, std::uint8_t op) {
    std::uint8_t v = Reg8(cpu, map, FieldS(op));
    alu::Bit(cpu, FieldR(op), v, v);
}

TARVO_FORCE_INLINE std::uint8_t ResSet(std::uint8_t op, std::uint8_t v, bool set) {
    auto mask = static_cast<std::uint8_t>(1u << FieldR(op));
    return static_cast<std::uint8_t>(set ? v | mask : v & ~mask);
}

TARVO_FORCE_INLINE void ResSetReg(CpuState& cpu, const RegisterMap& map, std::uint8_t op, bool set) {
    std::uint8_t& reg = Reg8(cpu, map, FieldS(op));
    reg = ResSet(op, reg, set);
}

template <class Bus>
TARVO_FORCE_INLINE void ResSetMem(Exec<Bus>& x, const RegisterMap& map, std::uint8_t op, bool set) {
    std::uint16_t address = CbMemoryOperand(x, map);
    std::uint8_t result = ResSet(op, x.bus.Read(address), set);
    x.bus.Write(address, result);
    CopyToRegister(x.cpu, op, result);
}

}  // namespace z80
