// The places of the board's memory map that matter to a program's bytes
// (cpu/memory_bus.h has the map, monitor/README.md the monitor's part of it).
#pragma once

#include <cstdint>

#include "cpu/memory_bus.h"

// The monitor keeps its stack, the user's saved registers, its variables and
// the IM 1 vector at 2780h-27FFh.
constexpr std::uint32_t kMonitorAreaStart = 0x2780;

// RAM: the one byte at 0800h and 1800h-27FFh. The monitor writes what is
// typed through the CPU, so only these addresses take a typed byte.
inline bool IsBoardRam(std::uint32_t address) {
    return address == kRomTop || (address >= kRamStart && address <= kRamTop);
}
