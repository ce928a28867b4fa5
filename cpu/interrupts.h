// The two interrupt inputs. Neither is latched: a request is handled in full
// at the moment of the call, between two steps.
#pragma once

#include <cstdint>

#include "cpu/cpu_access.h"
#include "cpu/execute.h"

// The maskable interrupt with the byte the device puts on the data bus.
// Ignored and lost while IFF1 is 0.
template <class Bus>
inline void AcceptInterrupt(CpuState& cpu, Bus& bus, std::uint8_t data) {
    if (cpu.IFF1 == 0) return;
    cpu.IFF1 = cpu.IFF2 = 0;
    cpu.R = z80::NextR(cpu.R);
    switch (cpu.IM) {
        case 0: ExecuteOpcode(cpu, bus, data); break;  // adds its own one to R
        case 1:
            z80::Push(cpu, bus, cpu.PC);
            cpu.PC = 0x0038;
            break;
        default:
            z80::Push(cpu, bus, cpu.PC);
            cpu.PC = bus.ReadWord16(static_cast<std::uint16_t>((cpu.I << 8) | data));
            break;
    }
}

template <class Bus>
inline void AcceptNmi(CpuState& cpu, Bus& bus) {
    cpu.IFF2 = cpu.IFF1;
    cpu.IFF1 = 0;
    cpu.R = z80::NextR(cpu.R);
    z80::Push(cpu, bus, cpu.PC);
    cpu.PC = 0x0066;
}
