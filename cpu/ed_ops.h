// Handlers of the ED set other than the block instructions. After ED the map
// is always the main one: no ED instruction uses IX or IY.
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/cpu_access.h"

namespace z80 {

template <class Bus>
TARVO_FORCE_INLINE std::uint8_t InFromC(CpuState& cpu, Bus& bus) {
    std::uint8_t v = bus.In(cpu.BC & 0xFF);  // never the upper byte (B)
    alu::SetF(cpu, SZ53PFlags[v] | (alu::F(cpu) & kFlagC));
    return v;
}

TARVO_FORCE_INLINE void Neg(CpuState& cpu) {
    unsigned a = alu::A(cpu);
    unsigned t = 0u - a;
    alu::SetAF(cpu, t, alu::SubFlags(0, a, t));
}

// LD A,I and LD A,R: P/V shows IFF2.
TARVO_FORCE_INLINE void LoadAFromSpecial(CpuState& cpu, std::uint16_t value) {
    unsigned a = value & 0xFFu;
    unsigned f = SZ53Flags[a];
    f |= cpu.IFF2 ? kFlagPV : 0u;
    f |= alu::F(cpu) & kFlagC;
    alu::SetAF(cpu, a, f);
}

template <class Bus>
TARVO_FORCE_INLINE void RotateDigits(CpuState& cpu, Bus& bus, bool left) {
    unsigned a = alu::A(cpu);
    unsigned m = bus.Read(cpu.HL);
    unsigned newM = left ? ((m << 4) | (a & 0x0F)) : ((a << 4) | (m >> 4));
    unsigned newA = (a & 0xF0) | (left ? m >> 4 : m & 0x0F);
    bus.Write(cpu.HL, static_cast<std::uint8_t>(newM));
    alu::SetAF(cpu, newA, SZ53PFlags[newA] | (alu::F(cpu) & kFlagC));
}

template <class Bus>
TARVO_FORCE_INLINE void Retn(Exec<Bus>& x) {
    x.cpu.IFF1 = x.cpu.IFF2;
    x.pc = Pop(x.cpu, x.bus);
}

}  // namespace z80
