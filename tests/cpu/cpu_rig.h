// Test rigs: a CPU on the board's bus or on a flat RAM bus, with ports that
// record what the CPU passes them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "cpu/flat_bus.h"
#include "cpu/memory_bus.h"
#include "cpu/z80.h"

struct RecordingPorts {
    std::uint8_t inValue = 0x5A;
    std::vector<std::uint16_t> reads;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;

    std::uint8_t BoardPortIn(std::uint16_t port) {
        reads.push_back(port);
        return inValue;
    }
    void BoardPortOut(std::uint16_t port, std::uint8_t value) { writes.emplace_back(port, value); }
};

// The board's memory map: ROM below 0800h, RAM 1800h-27FFh, the rest masked.
struct BoardRig {
    std::unique_ptr<BoardMemory> memory = std::make_unique<BoardMemory>();
    MemoryWindow window{0x0800, 0xFFFF};
    RecordingPorts ports;
    BoardBus<RecordingPorts> bus{*memory, window, ports};
    CpuState cpu{};
    std::uint64_t tStates = 0;  // what the steps took

    BoardRig() { ResetCpu(cpu); }
    BoardRig(const BoardRig&) = delete;  // the bus refers to this rig's members
    BoardRig& operator=(const BoardRig&) = delete;
    void Load(std::uint16_t at, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) memory->bytes[at++] = b;
    }
    void Step(int count = 1) {
        for (int i = 0; i < count; ++i) StepCpu(cpu, bus, tStates);
    }
};

struct FlatRig {
    std::unique_ptr<FlatBus> bus = std::make_unique<FlatBus>();
    CpuState cpu{};
    std::uint64_t tStates = 0;

    FlatRig() { ResetCpu(cpu); }
    void Load(std::uint16_t at, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) bus->memory[at++] = b;
    }
    void Step(int count = 1) {
        for (int i = 0; i < count; ++i) StepCpu(cpu, *bus, tStates);
    }
};

// For RunCpu: a run that stops only at its count.
inline bool NeverStop(std::uint16_t) { return false; }
