// The CPU's view of the board: 64 KiB of memory, the window that decides which
// CPU writes land, the read mask over the board's empty address ranges, and the
// port hooks through which IN and OUT reach the board's I/O.
#pragma once

#include <cstdint>

#include "cpu/compiler_hints.h"

struct BoardMemory {
    std::uint8_t bytes[65536];
};

struct MemoryWindow {
    std::uint16_t romEnd;  // lowest address CPU writes may change
    std::uint16_t ramEnd;  // highest address CPU reads and writes reach
};

// The board decodes memory at 0000h-0800h and 1800h-27FFh only; everything else
// reads back as an open bus. Note the edge at 0801h, not 0800h.
TARVO_FORCE_INLINE bool IsMaskedAddress(std::uint16_t a) { return a > 0x0800 && (a < 0x1800 || a > 0x27FF); }

TARVO_FORCE_INLINE std::uint8_t ReadByte(const BoardMemory& memory, const MemoryWindow& window, std::uint16_t a) {
    if (IsMaskedAddress(a) || a > window.ramEnd) return 0xFF;
    return memory.bytes[a];
}

// Only the first address is tested, as the board's decoder does.
TARVO_FORCE_INLINE std::uint16_t ReadWord(const BoardMemory& memory, const MemoryWindow& window, std::uint16_t a) {
    if (IsMaskedAddress(a) || a > window.ramEnd) return 0xFFFF;
    return static_cast<std::uint16_t>(memory.bytes[a] | memory.bytes[static_cast<std::uint16_t>(a + 1)] << 8);
}

TARVO_FORCE_INLINE void WriteByte(BoardMemory& memory, const MemoryWindow& window, std::uint16_t a, std::uint8_t v) {
    if (a >= window.romEnd && a <= window.ramEnd) memory.bytes[a] = v;
}

TARVO_FORCE_INLINE void WriteWord(BoardMemory& memory, const MemoryWindow& window, std::uint16_t a, std::uint16_t v) {
    if (a < window.romEnd || a > window.ramEnd) return;
    memory.bytes[a] = static_cast<std::uint8_t>(v);
    // Kept on purpose: a word written at FFFFh stores its high byte at 0000h.
    memory.bytes[static_cast<std::uint16_t>(a + 1)] = static_cast<std::uint8_t>(v >> 8);
}

// The board's bus as the CPU template sees it. Ports is any type with
//   std::uint8_t BoardPortIn(std::uint16_t port);
//   void BoardPortOut(std::uint16_t port, std::uint8_t value);
// The port number is the instruction's 8-bit port, zero-extended.
template <class Ports>
struct BoardBus {
    BoardMemory& memory;
    MemoryWindow& window;
    Ports& ports;
    static constexpr bool kCopiedIntoRun = true;  // three references: see z80::RunBus

    TARVO_FORCE_INLINE std::uint8_t Read(std::uint16_t a) const { return ReadByte(memory, window, a); }
    TARVO_FORCE_INLINE std::uint16_t ReadWord16(std::uint16_t a) const { return ReadWord(memory, window, a); }
    TARVO_FORCE_INLINE void Write(std::uint16_t a, std::uint8_t v) { WriteByte(memory, window, a, v); }
    TARVO_FORCE_INLINE void WriteWord16(std::uint16_t a, std::uint16_t v) { WriteWord(memory, window, a, v); }
    std::uint8_t In(std::uint16_t port) { return ports.BoardPortIn(port); }
    void Out(std::uint16_t port, std::uint8_t v) { ports.BoardPortOut(port, v); }
};
