// A plain 64 KiB RAM bus with ports of the caller's choosing: what the Z80
// exercisers, the benchmark and the CPU tests run on.
#pragma once

#include <cstdint>
#include <functional>

#include "cpu/compiler_hints.h"

// Its memory accesses are forced inline: the instruction loop is one large
// function, past the size at which the compiler stops inlining on its own.
struct FlatBus {
    std::uint8_t memory[65536] = {};
    // Ports are rare next to memory traffic, so a std::function costs nothing
    // that matters here. Unset, a read gives FFh and a write is dropped.
    std::function<std::uint8_t(std::uint16_t)> portIn;
    std::function<void(std::uint16_t, std::uint8_t)> portOut;

    TARVO_FORCE_INLINE std::uint8_t Read(std::uint16_t a) const { return memory[a]; }
    TARVO_FORCE_INLINE std::uint16_t ReadWord16(std::uint16_t a) const {
        return static_cast<std::uint16_t>(memory[a] | memory[static_cast<std::uint16_t>(a + 1)] << 8);
    }
    // Instruction fetches, which read as any other read does here.
    TARVO_FORCE_INLINE std::uint8_t Fetch(std::uint16_t a) const { return Read(a); }
    TARVO_FORCE_INLINE std::uint16_t FetchWord16(std::uint16_t a) const { return ReadWord16(a); }
    TARVO_FORCE_INLINE void Write(std::uint16_t a, std::uint8_t v) { memory[a] = v; }
    TARVO_FORCE_INLINE void WriteWord16(std::uint16_t a, std::uint16_t v) {
        memory[a] = static_cast<std::uint8_t>(v);
        memory[static_cast<std::uint16_t>(a + 1)] = static_cast<std::uint8_t>(v >> 8);
    }
    std::uint8_t In(std::uint16_t port) { return portIn ? portIn(port) : 0xFF; }
    void Out(std::uint16_t port, std::uint8_t v) {
        if (portOut) portOut(port, v);
    }
};
