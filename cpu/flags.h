// Z80 flag bits and the constant tables the ALU takes its flags from.
#pragma once

#include <array>
#include <cstdint>

#include "cpu/compiler_hints.h"

constexpr unsigned kFlagC = 0x01;   // carry
constexpr unsigned kFlagN = 0x02;   // subtract
constexpr unsigned kFlagPV = 0x04;  // parity / overflow
constexpr unsigned kFlag3 = 0x08;   // copy bit 3
constexpr unsigned kFlagH = 0x10;   // half carry
constexpr unsigned kFlag5 = 0x20;   // copy bit 5
constexpr unsigned kFlagZ = 0x40;   // zero
constexpr unsigned kFlagS = 0x80;   // sign

constexpr unsigned kFlags53 = kFlag5 | kFlag3;

// S, Z, 5, 3 of a result v:  (v AND A8h) OR (40h if v = 0)
constexpr std::array<std::uint8_t, 256> MakeSZ53Flags() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        table[v] = static_cast<std::uint8_t>((v & 0xA8) | (v == 0 ? kFlagZ : 0));
    }
    return table;
}

// As above, plus P/V set when v has an even number of 1 bits.
constexpr std::array<std::uint8_t, 256> MakeSZ53PFlags() {
    std::array<std::uint8_t, 256> table = MakeSZ53Flags();
    for (unsigned v = 0; v < 256; ++v) {
        unsigned ones = 0;
        for (unsigned bit = 0; bit < 8; ++bit) ones += (v >> bit) & 1;
        if (ones % 2 == 0) table[v] = static_cast<std::uint8_t>(table[v] | kFlagPV);
    }
    return table;
}

inline constexpr std::array<std::uint8_t, 256> SZ53Flags = MakeSZ53Flags();
inline constexpr std::array<std::uint8_t, 256> SZ53PFlags = MakeSZ53PFlags();

// Indexed by bits 8-7 (16-bit: 16-15) of (a XOR b XOR t): carry into the top
// bit differs from carry out of it exactly for index 1 and 2.
inline constexpr std::array<std::uint8_t, 4> OverflowFlags = {0x00, kFlagPV, kFlagPV, 0x00};

// Condition cc (NZ Z NC C PO PE P M) holds when (F XOR fail) AND mask != 0.
inline constexpr std::array<std::uint8_t, 8> ConditionMask = {kFlagZ,  kFlagZ,  kFlagC, kFlagC,
                                                              kFlagPV, kFlagPV, kFlagS, kFlagS};
inline constexpr std::array<std::uint8_t, 8> ConditionFail = {kFlagZ, 0, kFlagC, 0, kFlagPV, 0, kFlagS, 0};

TARVO_FORCE_INLINE bool ConditionHolds(std::uint8_t f, unsigned cc) {
    return ((f ^ ConditionFail[cc]) & ConditionMask[cc]) != 0;
}
