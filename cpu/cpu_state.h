// The Z80 register file and the register maps that let one set of instruction
// handlers serve HL, IX and IY alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cpu/compiler_hints.h"

// One slot of a register map: where, inside CpuState, the register lives.
// Offsets rather than pointers, so that one map serves every CpuState and a
// CpuState stays a plain value that tests can copy and compare.
struct RegisterRef {
    std::uint16_t offset;
};

// Slots 0-7: the 3-bit register field (B C D E H L, slot 6 the 16-bit HL role,
// A); slots 8-11: the pair field of loads and 16-bit arithmetic (BC DE HL SP);
// slots 12-15: the pair field of PUSH/POP (BC DE HL AF).
struct RegisterMap {
    RegisterRef slots[16];
};

enum : int {
    kSlotHl = 6,      // the HL role: HL, IX or IY
    kSlotPairs = 8,   // + p for BC, DE, HL/IX/IY, SP
    kSlotStack = 12,  // + p for BC, DE, HL/IX/IY, AF
};

struct CpuState {
    std::uint16_t BC;
    std::uint16_t DE;
    std::uint16_t HL;
    std::uint16_t AF;
    std::uint16_t IX;
    std::uint16_t IY;
    std::uint16_t BC_;  // alternate set
    std::uint16_t DE_;
    std::uint16_t HL_;
    std::uint16_t AF_;
    std::uint16_t I;
    std::uint16_t R;
    std::uint16_t PC;
    std::uint16_t SP;
    std::uint16_t IFF1;
    std::uint16_t IFF2;
    std::uint16_t IM;
};

// Clears AF/SP to FFFFh, I, PC, IFF1, IFF2 and IM to 0. BC, DE, HL, IX, IY,
// the alternate set and R keep their values.
void ResetCpu(CpuState& cpu);

// The three register maps, built while compiling so that a handler given the
// main map and a constant register field reaches the register directly.
constexpr std::uint16_t kHighByteOffset = TARVO_BIG_ENDIAN_HOST ? 0 : 1;

constexpr RegisterRef HighByteOf(std::size_t pair) { return RegisterRef{static_cast<std::uint16_t>(pair + kHighByteOffset)}; }
constexpr RegisterRef LowByteOf(std::size_t pair) {
    return RegisterRef{static_cast<std::uint16_t>(pair + 1 - kHighByteOffset)};
}
constexpr RegisterRef WholePair(std::size_t pair) { return RegisterRef{static_cast<std::uint16_t>(pair)}; }

// B C D E H L (HL) A | BC DE HL SP | BC DE HL AF, with the HL role given.
constexpr RegisterMap BuildMap(std::size_t hlRole) {
    const std::size_t bc = offsetof(CpuState, BC);
    const std::size_t de = offsetof(CpuState, DE);
    const std::size_t af = offsetof(CpuState, AF);
    const std::size_t sp = offsetof(CpuState, SP);
    return RegisterMap{{HighByteOf(bc), LowByteOf(bc), HighByteOf(de), LowByteOf(de), HighByteOf(hlRole),
                        LowByteOf(hlRole), WholePair(hlRole), HighByteOf(af), WholePair(bc), WholePair(de),
                        WholePair(hlRole), WholePair(sp), WholePair(bc), WholePair(de), WholePair(hlRole),
                        WholePair(af)}};
}

inline constexpr RegisterMap kMainMap = BuildMap(offsetof(CpuState, HL));
inline constexpr RegisterRef kRegA = HighByteOf(offsetof(CpuState, AF));
inline constexpr RegisterRef kRegF = LowByteOf(offsetof(CpuState, AF));
inline constexpr RegisterMap kIxMap = BuildMap(offsetof(CpuState, IX));
inline constexpr RegisterMap kIyMap = BuildMap(offsetof(CpuState, IY));

// Byte and word access through a map slot.
inline std::uint8_t& ByteAt(CpuState& cpu, RegisterRef ref) {
    return reinterpret_cast<unsigned char*>(&cpu)[ref.offset];
}
inline std::uint8_t ByteAt(const CpuState& cpu, RegisterRef ref) {
    return reinterpret_cast<const unsigned char*>(&cpu)[ref.offset];
}
inline std::uint16_t& WordAt(CpuState& cpu, RegisterRef ref) {
    return *reinterpret_cast<std::uint16_t*>(reinterpret_cast<unsigned char*>(&cpu) + ref.offset);
}

// The 8-bit halves of the pairs, by name, for tests and tools.
inline std::uint8_t HighByte(std::uint16_t pair) { return static_cast<std::uint8_t>(pair >> 8); }
inline std::uint8_t LowByte(std::uint16_t pair) { return static_cast<std::uint8_t>(pair); }
inline std::uint8_t RegA(const CpuState& cpu) { return HighByte(cpu.AF); }
inline std::uint8_t RegF(const CpuState& cpu) { return LowByte(cpu.AF); }
inline std::uint8_t RegB(const CpuState& cpu) { return HighByte(cpu.BC); }
inline std::uint8_t RegC(const CpuState& cpu) { return LowByte(cpu.BC); }
