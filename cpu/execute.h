// Running the CPU: one instruction, or a run of them. Kept on purpose: no
// clock cycles are counted; a run is measured in instructions.
#pragma once

#include <cstdint>

#include "cpu/cpu_access.h"
#include "cpu/cpu_state.h"
#include "cpu/execute_instruction.h"
#include "cpu/run_instructions.h"

// Executes the instruction whose first byte is op; further bytes (prefixed
// opcode, displacement, operands) are fetched at PC.
template <class Bus>
inline void ExecuteOpcode(CpuState& cpu, Bus& bus, std::uint8_t op) {
    auto&& view = z80::RunBus<Bus>::For(bus);
    z80::Exec<Bus> x{cpu, view, cpu.PC, cpu.R};
    z80::Execute(x, op);
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
}

// Executes one instruction at PC. A fetch from a masked address reads FFh,
// which is RST 38h.
template <class Bus>
inline void StepCpu(CpuState& cpu, Bus& bus) {
    std::uint16_t at = cpu.PC;
    cpu.PC = static_cast<std::uint16_t>(at + 1);
    ExecuteOpcode(cpu, bus, bus.Read(at));
}

// Executes up to count instructions, one StepCpu each, stopping early before an
// instruction whose address stopBefore(pc) accepts. Returns how many ran.
// PC and R stay in host registers for the whole run.
template <class Bus, class StopBefore>
inline std::uint64_t RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count, StopBefore stopBefore) {
    auto&& view = z80::RunBus<Bus>::For(bus);
    z80::Exec<Bus> x{cpu, view, cpu.PC, cpu.R};
    std::uint64_t done = z80::RunInstructions(x, count, stopBefore);
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
    return done;
}

template <class Bus>
inline void RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count) {
    RunCpu(cpu, bus, count, [](std::uint16_t) { return false; });
}
