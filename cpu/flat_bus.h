// A plain 64 KiB RAM bus with ports of the caller's choosing: what the Z80
// exercisers, the benchmark and the CPU tests run on.
#pragma once

#include <cstdint>
#include <functional>

struct FlatBus {
    std::uint8_t memory[65536] = {};
    // Ports are rare next to memory traffic, so a std::function costs nothing
    // that matters here. Unset, a read gives FFh and a write is dropped.
    std::function<std::uint8_t(std::uint16_t)> portIn;
    std::function<void(std::uint16_t, std::uint8_t)> portOut;

    std::uint8_t Read(std::uint16_t a) const { return memory[a]; }
    std::uint16_t ReadWord16(std::uint16_t a) const {
        return static_cast<std::uint16_t>(memory[a] | memory[static_cast<std::uint16_t>(a + 1)] << 8);
    }
    void Write(std::uint16_t a, std::uint8_t v) { memory[a] = v; }
    void WriteWord16(std::uint16_t a, std::uint16_t v) {
        memory[a] = static_cast<std::uint8_t>(v);
        memory[static_cast<std::uint16_t>(a + 1)] = static_cast<std::uint8_t>(v >> 8);
    }
    std::uint8_t In(std::uint16_t port) { return portIn ? portIn(port) : 0xFF; }
    void Out(std::uint16_t port, std::uint8_t v) {
        if (portOut) portOut(port, v);
    }
};
