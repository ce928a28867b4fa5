// LDI/LDD/CPI/CPD/INI/IND/OUTI/OUTD and their repeats. A repeat runs its whole
// loop inside one instruction step: no interrupt comes between iterations and
// R gains one for the whole instruction (kept on purpose: block repeats
// finished in one step). Each returns the passes it made, from which the
// instruction's T-states follow as the real CPU's for the whole loop.
#pragma once

#include <cstdint>

#include "cpu/alu.h"
#include "cpu/cpu_access.h"

namespace z80 {

// Bits 3 and 5 of the block transfers and compares come from bits 3 and 1 of n.
TARVO_FORCE_INLINE unsigned BlockCopyBits(unsigned n) { return (n & kFlag3) | ((n << 4) & kFlag5); }

// One LDI (step +1) or LDD (step -1); returns the byte moved.
template <class Bus>
TARVO_FORCE_INLINE std::uint8_t TransferOne(CpuState& cpu, Bus& bus, int step) {
    std::uint8_t v = bus.Read(cpu.HL);
    bus.Write(cpu.DE, v);
    cpu.HL = static_cast<std::uint16_t>(cpu.HL + step);
    cpu.DE = static_cast<std::uint16_t>(cpu.DE + step);
    cpu.BC = static_cast<std::uint16_t>(cpu.BC - 1);
    return v;
}

TARVO_FORCE_INLINE void SetTransferFlags(CpuState& cpu, std::uint8_t v) {
    unsigned f = alu::F(cpu) & (kFlagS | kFlagZ | kFlagC);
    f |= BlockCopyBits((v + alu::A(cpu)) & 0xFF);
    f |= cpu.BC != 0 ? kFlagPV : 0u;
    alu::SetF(cpu, f);
}

template <class Bus>
TARVO_FORCE_INLINE std::uint32_t Transfer(CpuState& cpu, Bus& bus, int step, bool repeat) {
    std::uint8_t v = 0;
    std::uint32_t passes = 0;
    do {
        v = TransferOne(cpu, bus, step);
        ++passes;
    } while (repeat && cpu.BC != 0);
    SetTransferFlags(cpu, v);
    return passes;
}

// One CPI/CPD; returns true on a match.
template <class Bus>
TARVO_FORCE_INLINE bool CompareOne(CpuState& cpu, Bus& bus, int step) {
    unsigned a = alu::A(cpu);
    unsigned v = bus.Read(cpu.HL);
    unsigned t = (a - v) & 0xFF;
    cpu.HL = static_cast<std::uint16_t>(cpu.HL + step);
    cpu.BC = static_cast<std::uint16_t>(cpu.BC - 1);
    unsigned h = (a ^ v ^ t) & kFlagH;
    unsigned f = alu::F(cpu) & kFlagC;
    f |= SZ53Flags[t] & (kFlagS | kFlagZ);
    f |= h;
    f |= BlockCopyBits(t - (h ? 1 : 0));
    f |= cpu.BC != 0 ? kFlagPV : 0u;
    f |= kFlagN;
    alu::SetF(cpu, f);
    return t == 0;
}

template <class Bus>
TARVO_FORCE_INLINE std::uint32_t Compare(CpuState& cpu, Bus& bus, int step, bool repeat) {
    bool match = false;
    std::uint32_t passes = 0;
    do {
        match = CompareOne(cpu, bus, step);
        ++passes;
    } while (repeat && !match && cpu.BC != 0);
    return passes;
}

TARVO_FORCE_INLINE void DecrementB(CpuState& cpu) { cpu.BC = static_cast<std::uint16_t>(cpu.BC - 0x100); }

// Flags of INI/IND/OUTI/OUTD: k is the byte plus C+-1 (input) or plus L (output).
TARVO_FORCE_INLINE void SetBlockIoFlags(CpuState& cpu, unsigned v, unsigned k) {
    unsigned b = cpu.BC >> 8;
    unsigned f = SZ53Flags[b];
    f |= (v >> 6) & kFlagN;                              // N: bit 7 of the byte
    f |= k > 0xFF ? kFlagH | kFlagC : 0u;
    f |= SZ53PFlags[((k & 7) ^ b) & 0xFF] & kFlagPV;     // P/V: parity
    alu::SetF(cpu, f);
}

template <class Bus>
TARVO_FORCE_INLINE std::uint32_t BlockIn(CpuState& cpu, Bus& bus, int step, bool repeat) {
    unsigned v = 0;
    std::uint32_t passes = 0;
    do {
        v = bus.In(cpu.BC & 0xFF);
        bus.Write(cpu.HL, static_cast<std::uint8_t>(v));
        DecrementB(cpu);
        cpu.HL = static_cast<std::uint16_t>(cpu.HL + step);
        ++passes;
    } while (repeat && (cpu.BC >> 8) != 0);
    SetBlockIoFlags(cpu, v, v + ((cpu.BC + step) & 0xFF));
    return passes;
}

template <class Bus>
TARVO_FORCE_INLINE std::uint32_t BlockOut(CpuState& cpu, Bus& bus, int step, bool repeat) {
    unsigned v = 0;
    std::uint32_t passes = 0;
    do {
        v = bus.Read(cpu.HL);
        bus.Out(cpu.BC & 0xFF, static_cast<std::uint8_t>(v));
        cpu.HL = static_cast<std::uint16_t>(cpu.HL + step);
        DecrementB(cpu);
        ++passes;
    } while (repeat && (cpu.BC >> 8) != 0);
    SetBlockIoFlags(cpu, v, v + (cpu.HL & 0xFF));
    return passes;
}

}  // namespace z80
