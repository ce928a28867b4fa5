// What an address of the board is to a program on it: the monitor ROM, RAM,
// the monitor's own working RAM, or no memory at all (the CPU reads FFh
// there, and its writes land in memory that nothing reads back). The page
// uses it to refuse edits the board would not take and to warn about loads.
#pragma once

#include <cstdint>

#include "cpu/memory_bus.h"

// The monitor's stack, saved registers, variables and interrupt vector (see
// monitor/README.md, "Memory map"): a program must leave them alone.
constexpr std::uint16_t kMonitorRamStart = 0x2780;
constexpr std::uint16_t kMonitorRamEnd = 0x27FF;

// The values are the page's too (web/core.js, MemoryArea).
enum class MemoryArea : std::uint8_t {
    Rom = 0,         // CPU writes do not land
    Ram = 1,         // read and written by the CPU
    MonitorRam = 2,  // RAM, but the monitor's own
    Unmapped = 3,    // CPU reads give FFh
};

MemoryArea AreaOf(const MemoryWindow& window, std::uint16_t address);
