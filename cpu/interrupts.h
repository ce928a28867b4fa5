// The two interrupt inputs. Neither is latched: a request is handled in full
// at the moment of the call, between two steps. Each comes with a T-state
// count that the acceptance adds to, and without, as StepCpu does.
#pragma once

#include <cstdint>

#include "cpu/cpu_access.h"
#include "cpu/execute.h"
#include "cpu/t_states.h"

// The maskable interrupt with the byte the device puts on the data bus.
// Ignored and lost while IFF1 is 0, and then takes no time.
template <class Bus>
inline void AcceptInterrupt(CpuState& cpu, Bus& bus, std::uint8_t data, std::uint64_t& tStates) {
    if (cpu.IFF1 == 0) return;
    cpu.IFF1 = cpu.IFF2 = 0;
    cpu.R = z80::NextR(cpu.R);
    switch (cpu.IM) {
        case 0:
            tStates += z80::kMode0ExtraTStates;
            ExecuteOpcode(cpu, bus, data, tStates);  // adds its own one to R
            break;
        case 1:
            z80::Push(cpu, bus, cpu.PC);
            cpu.PC = 0x0038;
            tStates += z80::kMode1TStates;
            break;
        default:
            z80::Push(cpu, bus, cpu.PC);
            cpu.PC = bus.ReadWord16(static_cast<std::uint16_t>((cpu.I << 8) | data));
            tStates += z80::kMode2TStates;
            break;
    }
}

template <class Bus>
inline void AcceptInterrupt(CpuState& cpu, Bus& bus, std::uint8_t data) {
    std::uint64_t uncounted = 0;
    AcceptInterrupt(cpu, bus, data, uncounted);
}

template <class Bus>
inline void AcceptNmi(CpuState& cpu, Bus& bus, std::uint64_t& tStates) {
    cpu.IFF2 = cpu.IFF1;
    cpu.IFF1 = 0;
    cpu.R = z80::NextR(cpu.R);
    z80::Push(cpu, bus, cpu.PC);
    cpu.PC = 0x0066;
    tStates += z80::kNmiTStates;
}

template <class Bus>
inline void AcceptNmi(CpuState& cpu, Bus& bus) {
    std::uint64_t uncounted = 0;
    AcceptNmi(cpu, bus, uncounted);
}
