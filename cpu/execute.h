// Running the CPU: one instruction, or a run of them. Each form comes twice:
// with a T-state count that the instructions add their T-states to (Zilog's
// figures, cpu/t_states.h), and without, for callers that measure a run in
// instructions only, as the window does (kept on purpose: the window paces
// the board by counting instructions).
#pragma once

#include <cstdint>

#include "cpu/cpu_access.h"
#include "cpu/cpu_state.h"
#include "cpu/execute_instruction.h"
#include "cpu/run_instructions.h"

// Executes the instruction whose first byte is op; further bytes (prefixed
// opcode, displacement, operands) are fetched at PC.
template <class Bus>
inline void ExecuteOpcode(CpuState& cpu, Bus& bus, std::uint8_t op, std::uint64_t& tStates) {
    auto&& view = z80::RunBus<Bus>::For(bus);
    z80::Exec<Bus> x{cpu, view, cpu.PC, cpu.R, 0};
    z80::Execute(x, op, tStates);
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
}

template <class Bus>
inline void ExecuteOpcode(CpuState& cpu, Bus& bus, std::uint8_t op) {
    std::uint64_t uncounted = 0;
    ExecuteOpcode(cpu, bus, op, uncounted);
}

// Executes one instruction at PC. A fetch from a masked address reads FFh,
// which is RST 38h.
template <class Bus>
inline void StepCpu(CpuState& cpu, Bus& bus, std::uint64_t& tStates) {
    std::uint16_t at = cpu.PC;
    cpu.PC = static_cast<std::uint16_t>(at + 1);
    ExecuteOpcode(cpu, bus, bus.Read(at), tStates);
}

template <class Bus>
inline void StepCpu(CpuState& cpu, Bus& bus) {
    std::uint64_t uncounted = 0;
    StepCpu(cpu, bus, uncounted);
}

// Executes up to count instructions, one StepCpu each, stopping early before an
// instruction whose address stopBefore(pc) accepts. Returns how many ran.
// PC, R and the T-state count stay in host registers for the whole run.
template <class Bus, class StopBefore>
inline std::uint64_t RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count, StopBefore stopBefore,
                            std::uint64_t& tStates) {
    auto&& view = z80::RunBus<Bus>::For(bus);
    z80::Exec<Bus> x{cpu, view, cpu.PC, cpu.R, 0};
    std::uint64_t done = z80::RunInstructions(x, count, stopBefore, tStates);
    cpu.PC = x.pc;
    cpu.R = CurrentR(x);
    return done;
}

template <class Bus, class StopBefore>
inline std::uint64_t RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count, StopBefore stopBefore) {
    std::uint64_t uncounted = 0;
    return RunCpu(cpu, bus, count, stopBefore, uncounted);
}

template <class Bus>
inline void RunCpu(CpuState& cpu, Bus& bus, std::uint64_t count) {
    RunCpu(cpu, bus, count, [](std::uint16_t) { return false; });
}
