// One small helper per arithmetic, logic, rotate and bit operation. Each takes
// the operands and the old flags and sets A and/or returns the new flags; the
// instruction handlers only fetch operands and store results.
#pragma once

#include <cstdint>

#include "cpu/cpu_state.h"
#include "cpu/flags.h"

namespace alu {

// A and F by their bytes: setting one does not read and merge the other.
TARVO_FORCE_INLINE std::uint8_t A(const CpuState& cpu) { return ByteAt(cpu, kRegA); }
TARVO_FORCE_INLINE std::uint8_t F(const CpuState& cpu) { return ByteAt(cpu, kRegF); }
TARVO_FORCE_INLINE void SetA(CpuState& cpu, unsigned a) { ByteAt(cpu, kRegA) = static_cast<std::uint8_t>(a); }
TARVO_FORCE_INLINE void SetF(CpuState& cpu, unsigned f) { ByteAt(cpu, kRegF) = static_cast<std::uint8_t>(f); }
TARVO_FORCE_INLINE void SetAF(CpuState& cpu, unsigned a, unsigned f) {
    SetA(cpu, a);
    SetF(cpu, f);
}

// Flags of an 8-bit add or subtract with unreduced result t; x = a ^ b ^ t
// carries the carry (borrow) into each bit position.
TARVO_FORCE_INLINE unsigned AddSubFlags(unsigned a, unsigned b, unsigned t) {
    unsigned x = a ^ b ^ t;
    unsigned f = SZ53Flags[t & 0xFF];
    f |= x & kFlagH;                   // H: carry out of bit 3
    f |= OverflowFlags[(x >> 7) & 3];  // P/V: carry into bit 7 differs from carry out
    f |= (x >> 8) & kFlagC;            // C: carry (borrow) out of bit 7
    return f;
}

TARVO_FORCE_INLINE void Add(CpuState& cpu, unsigned b, unsigned carry) {
    unsigned a = A(cpu);
    unsigned t = a + b + carry;
    SetAF(cpu, t, AddSubFlags(a, b, t));
}

TARVO_FORCE_INLINE unsigned SubFlags(unsigned a, unsigned b, unsigned t) { return AddSubFlags(a, b, t) | kFlagN; }

TARVO_FORCE_INLINE void Sub(CpuState& cpu, unsigned b, unsigned carry) {
    unsigned a = A(cpu);
    unsigned t = a - b - carry;
    SetAF(cpu, t, SubFlags(a, b, t));
}

// CP: a subtract that keeps A; bits 5 and 3 come from the operand.
TARVO_FORCE_INLINE void Cp(CpuState& cpu, unsigned b) {
    unsigned a = A(cpu);
    unsigned t = a - b;
    unsigned f = SubFlags(a, b, t);
    f = (f & ~kFlags53) | (b & kFlags53);
    SetF(cpu, f);
}

TARVO_FORCE_INLINE void And(CpuState& cpu, unsigned b) {
    unsigned r = A(cpu) & b;
    SetAF(cpu, r, SZ53PFlags[r] | kFlagH);
}

TARVO_FORCE_INLINE void Xor(CpuState& cpu, unsigned b) {
    unsigned r = (A(cpu) ^ b) & 0xFF;
    SetAF(cpu, r, SZ53PFlags[r]);
}

TARVO_FORCE_INLINE void Or(CpuState& cpu, unsigned b) {
    unsigned r = (A(cpu) | b) & 0xFF;
    SetAF(cpu, r, SZ53PFlags[r]);
}

// INC and DEC leave C alone; return the new 8-bit value.
TARVO_FORCE_INLINE std::uint8_t Inc(CpuState& cpu, unsigned b) {
    unsigned t = b + 1;
    unsigned f = F(cpu) & kFlagC;
    f |= SZ53Flags[t & 0xFF];
    f |= (b ^ t) & kFlagH;              // H: low nibble was F
    f |= b == 0x7F ? kFlagPV : 0u;       // P/V: 7F -> 80
    SetF(cpu, f);
    return static_cast<std::uint8_t>(t);
}

TARVO_FORCE_INLINE std::uint8_t Dec(CpuState& cpu, unsigned b) {
    unsigned t = b - 1;
    unsigned f = F(cpu) & kFlagC;
    f |= SZ53Flags[t & 0xFF];
    f |= (b ^ t) & kFlagH;              // H: low nibble was 0
    f |= b == 0x80 ? kFlagPV : 0u;       // P/V: 80 -> 7F
    f |= kFlagN;
    SetF(cpu, f);
    return static_cast<std::uint8_t>(t);
}

// ADD HL,pp: S, Z and P/V kept; 5 and 3 from the high byte of the result.
TARVO_FORCE_INLINE std::uint16_t Add16(CpuState& cpu, unsigned hl, unsigned pp) {
    unsigned t = hl + pp;
    unsigned f = F(cpu) & (kFlagS | kFlagZ | kFlagPV);
    f |= (t >> 8) & kFlags53;
    f |= ((hl ^ pp ^ t) >> 8) & kFlagH;  // H: carry out of bit 11
    f |= (t >> 16) & kFlagC;
    SetF(cpu, f);
    return static_cast<std::uint16_t>(t);
}

// ADC HL / SBC HL: full flags from the 16-bit result.
TARVO_FORCE_INLINE unsigned AddSub16Flags(unsigned hl, unsigned pp, unsigned t) {
    unsigned x = hl ^ pp ^ t;
    unsigned f = (t & 0xFFFF) != 0 ? (t >> 8) & (kFlagS | kFlags53) : kFlagZ;
    f |= (x >> 8) & kFlagH;             // H: carry out of bit 11
    f |= OverflowFlags[(x >> 15) & 3];  // P/V: carry into bit 15 differs from carry out
    f |= (x >> 16) & kFlagC;            // C: carry (borrow) out of bit 15
    return f;
}

TARVO_FORCE_INLINE std::uint16_t Adc16(CpuState& cpu, unsigned hl, unsigned pp) {
    unsigned t = hl + pp + (F(cpu) & kFlagC);
    SetF(cpu, AddSub16Flags(hl, pp, t));
    return static_cast<std::uint16_t>(t);
}

TARVO_FORCE_INLINE std::uint16_t Sbc16(CpuState& cpu, unsigned hl, unsigned pp) {
    unsigned t = hl - pp - (F(cpu) & kFlagC);
    SetF(cpu, AddSub16Flags(hl, pp, t) | kFlagN);
    return static_cast<std::uint16_t>(t);
}

TARVO_FORCE_INLINE void Daa(CpuState& cpu) {
    unsigned a = A(cpu);
    unsigned f = F(cpu);
    unsigned correction = 0;
    unsigned carry = 0;
    if (a > 0x99 || (f & kFlagC)) {
        correction = 0x60;
        carry = kFlagC;
    }
    if ((a & 0x0F) > 9 || (f & kFlagH)) correction += 6;
    unsigned r = ((f & kFlagN) ? a - correction : a + correction) & 0xFF;
    unsigned nf = SZ53PFlags[r];
    nf |= (r ^ a) & kFlagH;
    nf |= f & kFlagN;
    nf |= carry;
    SetAF(cpu, r, nf);
}

TARVO_FORCE_INLINE void Cpl(CpuState& cpu) {
    unsigned r = ~A(cpu) & 0xFF;
    unsigned f = F(cpu) & (kFlagS | kFlagZ | kFlagPV | kFlagC);
    f |= r & kFlags53;
    f |= kFlagH | kFlagN;
    SetAF(cpu, r, f);
}

TARVO_FORCE_INLINE void Scf(CpuState& cpu) {
    unsigned f = F(cpu) & (kFlagS | kFlagZ | kFlagPV);
    f |= A(cpu) & kFlags53;
    f |= kFlagC;
    SetF(cpu, f);
}

TARVO_FORCE_INLINE void Ccf(CpuState& cpu) {
    unsigned old = F(cpu);
    unsigned f = old & (kFlagS | kFlagZ | kFlagPV);
    f |= A(cpu) & kFlags53;
    f |= (old & kFlagC) ? kFlagH : 0u;  // H: the old carry
    f |= (old & kFlagC) ^ kFlagC;      // C: inverted
    SetF(cpu, f);
}

// The accumulator rotates RLCA, RRCA, RLA, RRA: S, Z, P/V kept.
TARVO_FORCE_INLINE void SetRotateAFlags(CpuState& cpu, unsigned r, unsigned carry) {
    unsigned f = F(cpu) & (kFlagS | kFlagZ | kFlagPV);
    f |= r & kFlags53;
    f |= carry;
    SetAF(cpu, r, f);
}

// The eight CB rotates and shifts, selected by bits 5-3 of the opcode:
// RLC RRC RL RR SLA SRA SLL SRL. Flags from the result, C from the bit out.
TARVO_FORCE_INLINE std::uint8_t RotateShift(CpuState& cpu, unsigned kind, unsigned v) {
    unsigned c = F(cpu) & kFlagC;
    unsigned r = 0;
    unsigned out = 0;
    switch (kind & 7) {
        case 0: out = v >> 7; r = (v << 1) | out; break;         // RLC
        case 1: out = v & 1; r = (v >> 1) | (out << 7); break;   // RRC
        case 2: out = v >> 7; r = (v << 1) | c; break;           // RL
        case 3: out = v & 1; r = (v >> 1) | (c << 7); break;     // RR
        case 4: out = v >> 7; r = v << 1; break;                 // SLA
        case 5: out = v & 1; r = (v >> 1) | (v & 0x80); break;   // SRA
        case 6: out = v >> 7; r = (v << 1) | 1; break;           // SLL
        default: out = v & 1; r = v >> 1; break;                 // SRL
    }
    r &= 0xFF;
    SetF(cpu, SZ53PFlags[r] | out);
    return static_cast<std::uint8_t>(r);
}

// BIT b: Z and P/V when the bit is clear, S only for a set bit 7; bits 5 and 3
// from x (the register, or for memory forms the low byte of the address).
TARVO_FORCE_INLINE void Bit(CpuState& cpu, unsigned bit, unsigned v, unsigned x) {
    unsigned m = v & (1u << bit);
    unsigned f = m == 0 ? kFlagZ | kFlagPV : 0u;
    f |= m & kFlagS;
    f |= x & kFlags53;
    f |= kFlagH;
    f |= F(cpu) & kFlagC;
    SetF(cpu, f);
}

}  // namespace alu
